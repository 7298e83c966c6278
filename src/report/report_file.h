#pragma once
// Writing a grade report to disk: Windows-1252 bytes, written atomically.
#include <string>
#include <string_view>

namespace mw {

// The report's UTF-8 text as Windows-1252 bytes. A character that Windows-1252 lacks (from a
// date text in some locales, say) becomes "?" rather than losing the whole report; invalid
// UTF-8 bytes become "?" as well.
std::string ReportBytes(std::string_view utf8);

// Writes the report to path, replacing any file there only once the new one is complete.
// False when the file cannot be created or written; the previous file is then unchanged.
bool WriteReportFile(const std::string& path, std::string_view utf8);

}  // namespace mw
