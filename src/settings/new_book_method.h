#pragma once
// The grading method a new grade book starts with: the first built-in method (the default),
// or a published scale added after the built-in methods and put in use.
#include <string>
#include <string_view>

#include "model/gradebook.h"
#include "settings/settings_store.h"

namespace mw {

// The settings key (section "Options"): the scale's name, empty for the built-in method.
inline constexpr std::string_view kNewBookMethodKey = "NewBookMethod";

// The scale new grade books use; empty for the built-in method, and for a name that is no
// shipped scale (any more).
std::string ReadNewBookScale(const SettingsStore& store);

// On a fresh book: adds that scale after the built-in methods and puts it in use; nothing for
// the built-in method.
void UseNewBookMethod(GradeBook& gb, const SettingsStore& store);

}  // namespace mw
