#include "settings/new_book_method.h"

#include "model/scales.h"

namespace mw {

std::string ReadNewBookScale(const SettingsStore& store) {
  std::string name = store.ReadSetting("Options", kNewBookMethodKey, "");
  return FindScale(name) ? name : std::string();
}

void UseNewBookMethod(GradeBook& gb, const SettingsStore& store) {
  const GradingScale* scale = FindScale(ReadNewBookScale(store));
  if (!scale) return;
  gb.Methods.push_back(scale->ToMethod(std::string(scale->Name)));
  gb.MethodPos = static_cast<int>(gb.Methods.size()) - 1;
}

}  // namespace mw
