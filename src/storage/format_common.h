#pragma once
// What the plain and the protected form share: the checks before writing, names as the files
// hold them, and the two readers the first line chooses between.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/gradebook_file.h"

namespace mw::format {

inline EncodeResult Failed(std::string why) {
  EncodeResult r;
  r.error = std::move(why);
  return r;
}

inline bool FitsInt16(long v) { return v >= INT16_MIN && v <= INT16_MAX; }

// The semesters in display order. Each entry of the semester list takes the first semester of
// its name not taken yet, so every semester is written once; a list that does not match the
// semesters one for one cannot be written without losing or doubling one.
bool SemestersInDisplayOrder(const GradeBook& gb, std::vector<const Semester*>& out,
                             std::string& error);

// What both forms check before writing anything.
bool CheckWritable(const GradeBook& gb, std::string& error);

// Windows-1252 bytes of a file to UTF-8; plain ASCII, the usual case, is the same in both.
std::string NameFromFile(std::string_view bytes);
bool IsAscii(std::string_view text);

// A selected method position a file may hold: -1 or one of the methods read.
bool ReadMethodPos(int pos, const GradeBook& book);

// The readers, into an empty book. The plain reader starts at the first line ("1").
bool DecodePlain(std::string_view bytes, GradeBook& book, std::string& error);
DecodeResult DecodeProtected(std::string_view bytes, const std::string& currentPassword,
                             const PasswordPrompt& prompt, const ReadingChooser& choose);

}  // namespace mw::format
