#pragma once
// Windows-1252, the code page of grade book files and reports. The program holds text as
// UTF-8 and converts at the file boundary.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

// UTF-8 to Windows-1252 bytes; empty when the text is not valid UTF-8 or holds a character
// that Windows-1252 lacks.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);
// UTF-8 to Windows-1252 bytes, never failing: a character that Windows-1252 lacks becomes
// one "?", and so does each byte that does not begin a valid UTF-8 character.
std::string Utf8ToCp1252Lossy(std::string_view utf8);
// Windows-1252 bytes to UTF-8. The five bytes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the control characters of the same number, so every byte
// string converts and converts back unchanged.
std::string Cp1252ToUtf8(std::string_view bytes);
// True when the name can be stored in a grade book file: representable in Windows-1252 and
// without a carriage return or line feed.
bool IsStorableName(std::string_view utf8);
// Number of characters (code points) of a UTF-8 text.
size_t CharCount(std::string_view utf8);

}  // namespace mw
