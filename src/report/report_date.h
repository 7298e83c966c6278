#pragma once
// The date and time on the report's first line. The window and markwell-cli both call this, so
// the same choices give the same first line from either.
#include <ctime>
#include <string>

namespace mw {

// `local` (a broken-down local time) in the user's short date and time form: the LC_TIME
// locale named by localeName (as LC_ALL, LC_TIME or LANG would name it), its date format with
// a two-digit year widened to four digits, a blank, and its time format without a time zone.
// The fixed form "M/d/yyyy h:mm:ss AM" stands for the C and POSIX locales, the United States
// (whose usual short form that is), a locale that is not installed, and any text the report's
// code page, Windows-1252, cannot carry.
std::string ReportDateText(const std::tm& local, const std::string& localeName);

// The current local time in the form above, for the locale the environment chooses for dates.
std::string ReportDateTextNow();

// The locale name the environment chooses for dates: LC_ALL, else LC_TIME, else LANG.
std::string TimeLocaleName();

}  // namespace mw
