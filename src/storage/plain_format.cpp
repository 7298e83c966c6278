// The plain form: text lines in Windows-1252, each ended by CR LF.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <vector>

#include "model/amount.h"
#include "model/codepage.h"
#include "model/numtext.h"
#include "storage/format_common.h"

namespace mw {
namespace format {
namespace {

class PlainWriter {
 public:
  explicit PlainWriter(std::string& out) : out_(out) {}
  void Line(std::string_view text) {
    out_.append(text);
    out_.append("\r\n");
  }
  void Number(long v) { Line(std::to_string(v)); }
  bool Double(double v) {
    if (!std::isfinite(v)) return false;  // no plain number text reads back as these
    // Credits and grade points repeat a lot: remember the text of the values seen.
    const auto bits = std::bit_cast<uint64_t>(v);
    auto it = numbers_.find(bits);
    if (it == numbers_.end()) {
      if (numbers_.size() > 4096) numbers_.clear();
      it = numbers_.emplace(bits, PlainNumber(v)).first;
    }
    Line(it->second);
    return true;
  }
  bool Name(std::string_view utf8) {
    if (utf8.find_first_of("\r\n") != std::string::npos) return false;
    if (IsAscii(utf8)) {
      Line(utf8);
      return true;
    }
    auto bytes = Utf8ToCp1252(utf8);
    if (!bytes) return false;
    Line(*bytes);
    return true;
  }

 private:
  std::string& out_;
  std::unordered_map<uint64_t, std::string> numbers_;
};

class PlainReader {
 public:
  explicit PlainReader(std::string_view bytes) : rest_(bytes) {}

  // Every line the reader needs ends with a line end: the program always ends the last line
  // with CR LF, so a line without one is a file cut short inside it ("Everything" cut to
  // "Ever" would otherwise read as another group).
  bool Line(std::string_view& line) {
    const size_t end = rest_.find('\n');
    if (end == std::string_view::npos) return false;
    line = rest_.substr(0, end);
    rest_.remove_prefix(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }
  // A name's bytes as the file holds them.
  bool NameBytes(std::string_view& line) {
    return Line(line) && line.find('\r') == std::string_view::npos;
  }
  bool Name(std::string& out) {
    std::string_view line;
    if (!NameBytes(line)) return false;
    out = NameFromFile(line);
    return true;
  }
  // A whole number: the number text rounded to 16 bits, halves to even.
  bool Int16(int& out) {
    std::string_view line;
    if (!Line(line)) return false;
    if (line.size() == 1 && line[0] >= '0' && line[0] <= '9') {  // most grades and counts
      out = line[0] - '0';
      return true;
    }
    auto v = TextToInt16(line);
    if (!v) return false;
    out = *v;
    return true;
  }
  bool Double(double& out) {
    std::string_view line;
    if (!Line(line)) return false;
    auto v = TextToDouble(line);
    if (!v || !std::isfinite(*v)) return false;  // "1e999" is no double either
    out = *v;
    return true;
  }
  bool Bool(bool& out) {
    std::string_view line;
    if (!Line(line)) return false;
    auto v = TextToBool(line);
    if (!v) return false;
    out = *v;
    return true;
  }

  // At most this many more lines can follow: a bound for reserving room from a count.
  size_t MaxLinesLeft() const { return rest_.size() / 2 + 1; }

 private:
  std::string_view rest_;
};

// The ids of the group names read so far, in a small table by a name's length and last byte.
// The classes' group lines repeat a few names: comparing a line's bytes with the one name in
// its slot costs less than the book's lookup by hash (and the check for a carriage return),
// which are made only when they differ.
class GroupIds {
 public:
  explicit GroupIds(GradeBook& book) : book_(book) {}
  // The id of the name a group line holds; none when the line is no name.
  std::optional<GroupId> Of(std::string_view bytes) {
    const unsigned last = bytes.empty() ? 0 : static_cast<unsigned char>(bytes.back());
    Slot& slot = slots_[(bytes.size() * 31 + last) % slots_.size()];
    if (!slot.filled || slot.bytes != bytes) {
      if (bytes.find('\r') != std::string_view::npos) return std::nullopt;
      slot.id = IsAscii(bytes) ? book_.InternGroup(bytes) : book_.InternGroup(Cp1252ToUtf8(bytes));
      slot.bytes = bytes;
      slot.filled = true;
    }
    return slot.id;
  }

 private:
  struct Slot {
    std::string_view bytes;
    GroupId id = 0;
    bool filled = false;
  };
  GradeBook& book_;
  std::array<Slot, 256> slots_{};
};

}  // namespace

bool DecodePlain(std::string_view bytes, GradeBook& book, std::string& error) {
  PlainReader in(bytes);
  std::string_view first;
  in.Line(first);  // "1", checked by the caller

  int methods = 0, pos = 0;
  if (!in.Int16(methods) || !in.Int16(pos)) return false;
  for (int m = 0; m < methods; ++m) {
    Method method;
    if (!in.Name(method.Name)) return false;
    std::array<double, kGradeCount> values{};
    for (double& v : values) {
      if (!in.Double(v)) return false;
      if (!IsSafeAmount(v)) {
        error = GradePointsError(method.Name);
        return false;
      }
    }
    method.SetNumerical(values);
    book.Methods.push_back(std::move(method));
  }
  if (!ReadMethodPos(pos, book)) return false;
  book.MethodPos = pos;

  int groups = 0;
  if (!in.Int16(groups)) return false;
  for (int g = 0; g < groups; ++g) {
    GroupEntry entry;
    if (!in.Name(entry.Name) || !in.Bool(entry.InMask)) return false;
    book.GroupNames.push_back(std::move(entry));
  }

  int semesters = 0;
  if (!in.Int16(semesters)) return false;
  GroupIds groupIds(book);
  for (int t = 0; t < semesters; ++t) {
    Semester semester;
    int classes = 0;
    if (!in.Name(semester.Name) || !in.Int16(classes)) return false;
    // A class takes five lines at least.
    if (classes > 0) semester.Classes.reserve(std::min<size_t>(classes, in.MaxLinesLeft() / 5));
    for (int k = 0; k < classes; ++k) {
      Class& c = semester.Classes.emplace_back();  // read in place: on failure, all goes
      int grade = 0, memberships = 0;
      if (!in.Name(c.Name) || !in.Int16(grade) || !in.Double(c.Credits) ||
          !in.Int16(memberships)) {
        return false;
      }
      if (grade < 0 || grade >= kGradeCount) return false;
      if (!IsSafeAmount(c.Credits)) {
        error = CreditsError(c.Name, semester.Name);
        return false;
      }
      c.Grade = static_cast<int16_t>(grade);
      if (memberships > 0) c.Groups.reserve(std::min<size_t>(memberships, in.MaxLinesLeft()));
      for (int n = 0; n < memberships; ++n) {
        std::string_view group;
        if (!in.Line(group)) return false;
        const std::optional<GroupId> id = groupIds.Of(group);
        if (!id) return false;
        c.Groups.push_back(*id);
      }
    }
    book.SemesterOrder.push_back(SemesterEntry{semester.Name, true});
    book.Semesters.push_back(std::move(semester));
  }
  return true;
}

}  // namespace format

EncodeResult EncodePlain(const GradeBook& gb) {
  using namespace format;
  std::string error;
  std::vector<const Semester*> order;
  if (!CheckWritable(gb, error) || !SemestersInDisplayOrder(gb, order, error)) {
    return Failed(error);
  }
  EncodeResult r;
  size_t estimate = 64 + gb.Methods.size() * 256 + gb.GroupNames.size() * 32;
  for (const Semester& s : gb.Semesters) {
    estimate += s.Name.size() + 8;
    for (const Class& c : s.Classes) {
      estimate += c.Name.size() + 32;
      for (GroupId g : c.Groups) estimate += gb.GroupName(g).size() + 2;
    }
  }
  r.bytes.reserve(estimate);
  PlainWriter out(r.bytes);
  out.Line("1");
  out.Number(static_cast<long>(gb.Methods.size()));
  out.Number(gb.MethodPos);
  for (const Method& m : gb.Methods) {
    if (!out.Name(m.Name)) return Failed("method name cannot be stored: " + m.Name);
    for (int p = 0; p < kGradeCount; ++p) {
      if (!out.Double(m.GetEquiv(p))) return Failed("grade points not finite in " + m.Name);
    }
  }
  out.Number(static_cast<long>(gb.GroupNames.size()));
  for (const GroupEntry& g : gb.GroupNames) {
    if (!out.Name(g.Name)) return Failed("group name cannot be stored: " + g.Name);
    out.Line(g.InMask ? "True" : "False");
  }
  out.Number(static_cast<long>(gb.Semesters.size()));
  for (const Semester* s : order) {
    if (!out.Name(s->Name)) return Failed("semester name cannot be stored: " + s->Name);
    out.Number(static_cast<long>(s->Classes.size()));
    for (const Class& c : s->Classes) {
      if (!out.Name(c.Name)) return Failed("class name cannot be stored: " + c.Name);
      out.Number(c.Grade);
      if (!out.Double(c.Credits)) return Failed("credits not finite in " + c.Name);
      out.Number(static_cast<long>(c.Groups.size()));
      for (GroupId id : c.Groups) {
        const std::string& g = gb.GroupName(id);
        if (!out.Name(g)) return Failed("group name cannot be stored: " + g);
      }
    }
  }
  r.ok = true;
  return r;
}

}  // namespace mw
