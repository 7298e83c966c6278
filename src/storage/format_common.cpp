// The checks both forms make before writing, and the choice of reader by the first line.
#include "storage/format_common.h"

#include <unordered_map>

#include "model/amount.h"
#include "model/codepage.h"

namespace mw {
namespace format {

bool SemestersInDisplayOrder(const GradeBook& gb, std::vector<const Semester*>& out,
                             std::string& error) {
  if (gb.SemesterOrder.size() != gb.Semesters.size()) {
    error = "the semester list and the semesters differ in number";
    return false;
  }
  std::unordered_map<std::string_view, std::vector<size_t>> byName;
  for (size_t i = gb.Semesters.size(); i-- > 0;) byName[gb.Semesters[i].Name].push_back(i);
  out.clear();
  out.reserve(gb.Semesters.size());
  for (const SemesterEntry& e : gb.SemesterOrder) {
    auto it = byName.find(e.Name);
    if (it == byName.end() || it->second.empty()) {
      error = "the semester list names a semester that does not exist: " + e.Name;
      return false;
    }
    out.push_back(&gb.Semesters[it->second.back()]);
    it->second.pop_back();
  }
  return true;
}

bool CheckWritable(const GradeBook& gb, std::string& error) {
  if (gb.Methods.size() > INT16_MAX || gb.GroupNames.size() > INT16_MAX ||
      gb.Semesters.size() > INT16_MAX) {
    error = "a count does not fit 16 bits";
    return false;
  }
  if (gb.MethodPos < -1 || gb.MethodPos >= static_cast<long>(gb.Methods.size())) {
    error = "the selected method is not a method";
    return false;
  }
  for (const Method& m : gb.Methods) {
    for (int p = 0; p < kGradeCount; ++p) {
      if (!IsSafeAmount(m.GetEquiv(p))) {
        error = GradePointsError(m.Name);
        return false;
      }
    }
  }
  for (const Semester& s : gb.Semesters) {
    if (s.Classes.size() > INT16_MAX) {
      error = "semester " + s.Name + " holds more classes than 16 bits count";
      return false;
    }
    for (const Class& c : s.Classes) {
      if (c.Grade < 0 || c.Grade >= kGradeCount) {
        error = "class " + c.Name + " has no letter grade";
        return false;
      }
      if (!IsSafeAmount(c.Credits)) {
        error = CreditsError(c.Name, s.Name);
        return false;
      }
      if (c.Groups.size() > INT16_MAX) {
        error = "class " + c.Name + " is in more groups than 16 bits count";
        return false;
      }
    }
  }
  return true;
}

bool IsAscii(std::string_view text) {
  unsigned char bits = 0;  // one pass without a branch per byte
  for (char ch : text) bits |= static_cast<unsigned char>(ch);
  return bits < 0x80;
}

std::string NameFromFile(std::string_view bytes) {
  return IsAscii(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

bool ReadMethodPos(int pos, const GradeBook& book) {
  return pos == -1 || (pos >= 0 && pos < static_cast<long>(book.Methods.size()));
}

}  // namespace format

std::string CreditsError(const std::string& cls, const std::string& semester) {
  return "The credits of class \"" + cls + "\" in semester \"" + semester +
         "\" are beyond what Markwell can count (at most 1000000000).";
}

std::string GradePointsError(const std::string& method) {
  return "The grade points of method \"" + method +
         "\" are beyond what Markwell can count (at most 1000000000).";
}

DecodeResult DecodeGradeBook(std::string_view bytes, const std::string& currentPassword,
                             const PasswordPrompt& prompt, const ReadingChooser& choose) {
  const size_t end = bytes.find('\n');
  std::string_view first = bytes.substr(0, end);
  if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
  if (first != "1") return format::DecodeProtected(bytes, currentPassword, prompt, choose);

  DecodeResult result;
  if (format::DecodePlain(bytes, result.book, result.error)) result.status = DecodeStatus::Ok;
  else result.book = GradeBook();
  return result;
}

}  // namespace mw
