#include "settings/settings_store.h"

#include <cmath>
#include <string>

#include "model/numtext.h"

namespace mw {

namespace {

constexpr std::string_view kSection = "Options";

std::string MemoryKey(std::string_view section, std::string_view key) {
  std::string k(section);
  k += '/';
  k += key;
  return k;
}

}  // namespace

std::string MemorySettingsStore::ReadSetting(std::string_view section, std::string_view key,
                                             std::string_view defaultValue) const {
  auto it = values.find(MemoryKey(section, key));
  return it == values.end() ? std::string(defaultValue) : it->second;
}

void MemorySettingsStore::WriteSetting(std::string_view section, std::string_view key,
                                       std::string_view value) {
  values[MemoryKey(section, key)] = std::string(value);
}

int ReadDefGrade(const SettingsStore& store) {
  constexpr int kDefault = 1;  // "A"
  auto grade = TextToInt16(store.ReadSetting(kSection, "DefGrade", "1"));
  if (!grade || *grade < 0 || *grade > 12) return kDefault;
  return *grade;
}

double ReadDefCredits(const SettingsStore& store) {
  constexpr double kDefault = 1.0;
  auto credits = TextToDouble(store.ReadSetting(kSection, "DefCredits", "1"));
  if (!credits || !std::isfinite(*credits)) return kDefault;
  return *credits;
}

double ReadAutoOpen(const SettingsStore& store) {
  auto value = TextToDouble(store.ReadSetting(kSection, "AutoOpen", "0"));
  if (!value || !std::isfinite(*value)) return 0.0;
  return *value;
}

int ReadAutoOpenCheck(const SettingsStore& store) {
  // A check box knows only checked (1) and unchecked (0); anything else reads as unchecked.
  auto value = TextToInt16(store.ReadSetting(kSection, "AutoOpen", "0"));
  if (!value || (*value != 0 && *value != 1)) return 0;
  return *value;
}

std::string ReadOpenFileName(const SettingsStore& store, std::string_view defaultValue) {
  return store.ReadSetting(kSection, "OpenFileName", defaultValue);
}

}  // namespace mw
