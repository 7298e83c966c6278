#pragma once
// The pieces of the JSON that `summary --json` prints.
#include <cstdint>
#include <string>
#include <string_view>

namespace mw::cli {

// A JSON string literal, quotes included. Control characters, quotes and backslashes are
// escaped; a byte that is not part of valid UTF-8 becomes U+FFFD, so the output always parses.
std::string JsonString(std::string_view utf8);

// A JSON number in its shortest form that reads back as the same double. JSON has no NaN or
// infinity (a damaged file can hold them): those are written as null.
std::string JsonNumber(double value);
std::string JsonNumber(int64_t value);

// Text for the terminal: control characters (C0, DEL and the C1 range of UTF-8) are shown
// escaped, "\x1b", so a name from a file cannot send escape sequences; the rest is unchanged.
// keepLineEnds leaves CR and LF as they are (for a whole report).
std::string EscapeControls(std::string_view text, bool keepLineEnds = false);

}  // namespace mw::cli
