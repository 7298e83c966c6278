#pragma once
// The per-user settings store: text values by section and key, for the application
// "Markwell". Every user of a preference reads it at the moment of use.
#include <map>
#include <string>
#include <string_view>

namespace mw {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text of the key, or defaultValue when the key is absent.
  virtual std::string ReadSetting(std::string_view section, std::string_view key,
                                  std::string_view defaultValue) const = 0;
  // Stores the text under the key, replacing any earlier value.
  virtual void WriteSetting(std::string_view section, std::string_view key,
                            std::string_view value) = 0;
};

// The in-memory twin, for tests.
class MemorySettingsStore : public SettingsStore {
 public:
  std::string ReadSetting(std::string_view section, std::string_view key,
                          std::string_view defaultValue) const override;
  void WriteSetting(std::string_view section, std::string_view key,
                    std::string_view value) override;
  std::map<std::string, std::string> values;  // "Section/Key" -> text
};

// The readers of the four preferences, each converting as its users need and falling back to
// its default when the stored text does not convert or is out of range.
int ReadDefGrade(const SettingsStore& store);          // 0..12, default 1 ("A")
double ReadDefCredits(const SettingsStore& store);     // default 1
double ReadAutoOpen(const SettingsStore& store);       // start-up compares it with 1; default 0
int ReadAutoOpenCheck(const SettingsStore& store);     // the options dialog's check state
std::string ReadOpenFileName(const SettingsStore& store, std::string_view defaultValue);

}  // namespace mw
