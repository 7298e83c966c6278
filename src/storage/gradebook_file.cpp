// The two forms of a grade book file, built and read wholly in memory.
#include "storage/gradebook_file.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "model/codepage.h"
#include "model/numtext.h"
#include "storage/storage_detail.h"

namespace mw {
namespace {

using storage_detail::kName64;

EncodeResult Failed(std::string why) {
  EncodeResult r;
  r.error = std::move(why);
  return r;
}

bool FitsInt16(long v) { return v >= INT16_MIN && v <= INT16_MAX; }

// The semesters in display order. Each entry of the semester list takes the first semester of
// its name not taken yet, so every semester is written once; a list that does not match the
// semesters one for one cannot be written without losing or doubling one.
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

// What both forms check before writing anything.
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
      if (c.Groups.size() > INT16_MAX) {
        error = "class " + c.Name + " is in more groups than 16 bits count";
        return false;
      }
    }
  }
  return true;
}

// ---------------------------------------------------------------- plain form

bool IsAscii(std::string_view text) {
  for (char ch : text) {
    if (static_cast<unsigned char>(ch) >= 0x80) return false;
  }
  return true;
}

// Windows-1252 bytes to UTF-8; plain ASCII, the usual case, is the same in both.
std::string NameFromFile(std::string_view bytes) {
  return IsAscii(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

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

  bool Line(std::string_view& line) {
    if (done_ || rest_.empty()) return false;  // the last line end is not the start of a line
    const size_t end = rest_.find('\n');
    if (end == std::string_view::npos) {
      line = rest_;
      done_ = true;
    } else {
      line = rest_.substr(0, end);
      rest_.remove_prefix(end + 1);
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }
  bool Name(std::string& out) {
    std::string_view line;
    if (!Line(line) || line.find('\r') != std::string_view::npos) return false;
    out = NameFromFile(line);
    return true;
  }
  // A whole number: the number text rounded to 16 bits, halves to even.
  bool Int16(int& out) {
    double d = 0;
    if (!Double(d)) return false;
    auto v = ToInt16(d);
    if (!v) return false;
    out = *v;
    return true;
  }
  bool Double(double& out) {
    std::string_view line;
    if (!Line(line)) return false;
    // Counts, grades, credits and grade points repeat a lot: remember the texts seen.
    auto it = numbers_.find(line);
    if (it == numbers_.end()) {
      auto v = TextToDouble(line);
      if (!v || !std::isfinite(*v)) return false;  // "1e999" is no double either
      if (numbers_.size() > 4096) numbers_.clear();
      it = numbers_.emplace(line, *v).first;
    }
    out = it->second;
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
  bool done_ = false;
  std::unordered_map<std::string_view, double> numbers_;  // views into the file's bytes
};

bool ReadMethodPos(int pos, const GradeBook& book) {
  return pos == -1 || (pos >= 0 && pos < static_cast<long>(book.Methods.size()));
}

bool DecodePlain(std::string_view bytes, GradeBook& book) {
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
  for (int t = 0; t < semesters; ++t) {
    Semester semester;
    int classes = 0;
    if (!in.Name(semester.Name) || !in.Int16(classes)) return false;
    // A class takes five lines at least.
    if (classes > 0) semester.Classes.reserve(std::min<size_t>(classes, in.MaxLinesLeft() / 5));
    for (int k = 0; k < classes; ++k) {
      Class c;
      int grade = 0, memberships = 0;
      if (!in.Name(c.Name) || !in.Int16(grade) || !in.Double(c.Credits) ||
          !in.Int16(memberships)) {
        return false;
      }
      if (grade < 0 || grade >= kGradeCount) return false;
      c.Grade = static_cast<int16_t>(grade);
      if (memberships > 0) c.Groups.reserve(std::min<size_t>(memberships, in.MaxLinesLeft()));
      for (int n = 0; n < memberships; ++n) {
        std::string group;
        if (!in.Name(group)) return false;
        c.Groups.push_back(std::move(group));
      }
      semester.AddClass(std::move(c));
    }
    book.SemesterOrder.push_back(SemesterEntry{semester.Name, true});
    book.Semesters.push_back(std::move(semester));
  }
  return true;
}

// ------------------------------------------------------------ protected form

class BinaryWriter {
 public:
  explicit BinaryWriter(std::string& out) : out_(out) {}
  void I16(long v) {
    const auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
    out_.push_back(static_cast<char>(u & 0xFF));
    out_.push_back(static_cast<char>(u >> 8));
  }
  void F64(double v) {
    auto u = std::bit_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i, u >>= 8) out_.push_back(static_cast<char>(u & 0xFF));
  }
  bool Name64(const std::string& utf8) {
    auto bytes = Utf8ToCp1252(utf8);
    if (!bytes) return false;
    if (bytes->size() > kName64) bytes->resize(kName64);
    out_.append(*bytes);
    out_.append(kName64 - bytes->size(), ' ');
    return true;
  }

 private:
  std::string& out_;
};

class BinaryReader {
 public:
  explicit BinaryReader(std::string_view bytes) : bytes_(bytes) {}
  bool I16(int& out) {
    if (bytes_.size() - pos_ < 2) return false;
    const auto lo = static_cast<unsigned char>(bytes_[pos_]);
    const auto hi = static_cast<unsigned char>(bytes_[pos_ + 1]);
    out = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
    pos_ += 2;
    return true;
  }
  bool F64(double& out) {
    if (bytes_.size() - pos_ < 8) return false;
    uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(bytes_[pos_ + i]);
    out = std::bit_cast<double>(u);
    pos_ += 8;
    return true;
  }
  bool Name64(std::string& out) {
    if (bytes_.size() - pos_ < kName64) return false;
    std::string_view field = bytes_.substr(pos_, kName64);
    pos_ += kName64;
    const size_t last = field.find_last_not_of(' ');
    field = last == std::string_view::npos ? std::string_view() : field.substr(0, last + 1);
    out = NameFromFile(field);
    return true;
  }
  size_t Left() const { return bytes_.size() - pos_; }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

// A stored value divided by its multiplier. With the right password the value is an exact
// multiple; anything else means the password (or the file) is wrong.
bool Divide(int stored, std::optional<int16_t> comp, int& out) {
  if (!comp || *comp == 0) return false;
  if (stored % *comp != 0) return false;
  out = stored / *comp;
  return true;
}

bool DecodeProtectedBody(BinaryReader& in, bool multiplied, int salt, std::string_view codes,
                         GradeBook& book) {
  // Without multipliers (format word 2) every position gives 1, however far it counts.
  auto comp = [&](long j) -> std::optional<int16_t> {
    if (!multiplied) return int16_t{1};
    if (j > INT16_MAX) return std::nullopt;
    return storage_detail::CompFromCodes(multiplied, static_cast<int>(j), salt, codes);
  };

  int methods = 0, pos = 0;
  if (!in.I16(methods) || !in.I16(pos)) return false;
  for (int m = 0; m < methods; ++m) {
    Method method;
    if (!in.Name64(method.Name)) return false;
    std::array<double, kGradeCount> values{};
    for (double& v : values) {
      if (!in.F64(v)) return false;
    }
    method.SetNumerical(values);
    book.Methods.push_back(std::move(method));
  }
  if (!ReadMethodPos(pos, book)) return false;
  book.MethodPos = pos;

  int groups = 0;
  if (!in.I16(groups)) return false;
  for (int g = 0; g < groups; ++g) {
    GroupEntry entry;
    int flag = 0;
    if (!in.Name64(entry.Name) || !in.I16(flag)) return false;
    entry.InMask = flag != 0;
    book.GroupNames.push_back(std::move(entry));
  }

  int semesters = 0;
  if (!in.I16(semesters)) return false;
  for (long t = 1; t <= semesters; ++t) {
    Semester semester;
    int classes = 0;
    if (!in.Name64(semester.Name) || !in.I16(classes)) return false;
    // A class record takes 76 bytes at least.
    if (classes > 0) semester.Classes.reserve(std::min<size_t>(classes, in.Left() / 76));
    for (long k = 1; k <= classes; ++k) {
      Class c;
      int stored = 0, grade = 0, memberships = 0;
      double credits = 0;
      if (!in.Name64(c.Name) || !in.I16(stored)) return false;
      if (!Divide(stored, comp(t * k), grade) || grade < 0 || grade >= kGradeCount) return false;
      c.Grade = static_cast<int16_t>(grade);
      if (!in.F64(credits)) return false;
      const auto creditsComp = comp(t * (k + 1));
      if (!creditsComp || *creditsComp == 0) return false;
      c.Credits = credits / static_cast<double>(*creditsComp);
      if (!in.I16(memberships)) return false;
      if (memberships > 0) c.Groups.reserve(std::min<size_t>(memberships, in.Left() / 2));
      for (int n = 0; n < memberships; ++n) {
        int ref = 0, index = 0;
        if (!in.I16(ref) || !Divide(ref, comp(t * (k + 2)), index)) return false;
        if (index < 0 || index >= static_cast<int>(book.GroupNames.size())) return false;
        c.Groups.push_back(book.GroupNames[static_cast<size_t>(index)].Name);
      }
      semester.AddClass(std::move(c));
    }
    book.SemesterOrder.push_back(SemesterEntry{semester.Name, true});
    book.Semesters.push_back(std::move(semester));
  }
  return true;
}

DecodeResult DecodeProtected(std::string_view bytes, const std::string& currentPassword,
                             const PasswordPrompt& prompt) {
  DecodeResult result;
  result.isProtected = true;
  BinaryReader in(bytes);
  int word = 0;
  if (!in.I16(word) || (word != 2 && word != 3)) return result;
  PasswordKey key;
  for (int16_t& v : key.values) {
    int value = 0;
    if (!in.I16(value)) return result;
    v = static_cast<int16_t>(value);
  }

  std::string password = currentPassword;
  std::string codes;
  int mode = 2;
  for (;;) {
    if (prompt) prompt(mode, password);
    if (password.empty()) {
      result.status = DecodeStatus::Cancelled;
      return result;
    }
    mode = 3;
    auto c = Utf8ToCp1252(password);
    if (c && storage_detail::CheckCodes(*c, key)) {
      codes = std::move(*c);
      break;
    }
    if (!prompt) return result;  // nobody to ask again
  }

  if (!DecodeProtectedBody(in, word == 3, key.values[0], codes, result.book)) {
    result.book = GradeBook();
    return result;
  }
  result.status = DecodeStatus::Ok;
  result.password = std::move(password);
  return result;
}

}  // namespace

// ---------------------------------------------------------------- encoding

EncodeResult EncodePlain(const GradeBook& gb) {
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
      for (std::string_view g : c.Groups) estimate += g.size() + 2;
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
      for (std::string_view g : c.Groups) {
        if (!out.Name(g)) return Failed("group name cannot be stored: " + std::string(g));
      }
    }
  }
  r.ok = true;
  return r;
}

EncodeResult EncodeProtected(const GradeBook& gb, const std::string& password,
                             const SaltSource& salt) {
  return storage_detail::EncodeProtectedWord(gb, password, salt, 3);
}

EncodeResult storage_detail::EncodeProtectedWord(const GradeBook& gb, const std::string& password,
                                                 const SaltSource& saltSource,
                                                 int16_t formatWord) {
  if (password.empty()) return Failed("no password");
  auto codes = Utf8ToCp1252(password);
  if (!codes) return Failed("the password has a character that Windows-1252 lacks");
  std::string error;
  std::vector<const Semester*> order;
  if (!CheckWritable(gb, error) || !SemestersInDisplayOrder(gb, order, error)) {
    return Failed(error);
  }

  // A salt that makes some character's multiplier 0 would store every value it multiplies
  // as 0, and the file could not be read back: draw again (126 never gives 0).
  int salt = 126;
  for (int draw = 0; draw < kSaltDraws; ++draw) {
    const int s = saltSource ? saltSource() : 126;
    if (s >= 64 && s <= 127 && !SaltGivesZero(*codes, s)) {
      salt = s;
      break;
    }
  }
  const bool multiplied = formatWord == 3;
  auto comp = [&](long j) -> std::optional<int16_t> {
    if (!multiplied) return int16_t{1};
    if (j > INT16_MAX) return std::nullopt;
    return CompFromCodes(multiplied, static_cast<int>(j), salt, *codes);
  };

  // A class's group is stored as the position of the first group of its name; a name that is
  // not in the group list is stored as 0, the first group.
  const std::vector<std::string> groupNames = gb.GroupNameList();
  std::unordered_map<std::string_view, int16_t> groupIndex;
  for (size_t i = 0; i < groupNames.size(); ++i) {
    groupIndex.try_emplace(groupNames[i], static_cast<int16_t>(i));
  }

  EncodeResult r;
  size_t classes = 0;
  for (const Semester& s : gb.Semesters) classes += s.Classes.size();
  r.bytes.reserve(20 + gb.Methods.size() * 168 + groupNames.size() * 66 +
                  gb.Semesters.size() * 66 + classes * 80);
  BinaryWriter out(r.bytes);
  out.I16(formatWord);
  for (int16_t v : KeyFromCodes(*codes, salt).values) out.I16(v);
  out.I16(static_cast<long>(gb.Methods.size()));
  out.I16(gb.MethodPos);
  for (const Method& m : gb.Methods) {
    if (!out.Name64(m.Name)) return Failed("method name cannot be stored: " + m.Name);
    for (int p = 0; p < kGradeCount; ++p) out.F64(m.GetEquiv(p));
  }
  out.I16(static_cast<long>(groupNames.size()));
  for (const GroupEntry& g : gb.GroupNames) {
    if (!out.Name64(g.Name)) return Failed("group name cannot be stored: " + g.Name);
    out.I16(g.InMask ? -1 : 0);
  }
  out.I16(static_cast<long>(gb.Semesters.size()));
  long t = 0;
  for (const Semester* s : order) {
    ++t;
    if (!out.Name64(s->Name)) return Failed("semester name cannot be stored: " + s->Name);
    out.I16(static_cast<long>(s->Classes.size()));
    long k = 0;
    for (const Class& c : s->Classes) {
      ++k;
      if (!out.Name64(c.Name)) return Failed("class name cannot be stored: " + c.Name);
      const auto gradeComp = comp(t * k);
      const auto creditsComp = comp(t * (k + 1));
      if (!gradeComp || !creditsComp) {
        return Failed("multiplier position too high in semester " + s->Name);
      }
      const long grade = static_cast<long>(c.Grade) * *gradeComp;
      if (!FitsInt16(grade)) return Failed("stored grade overflows in class " + c.Name);
      out.I16(grade);
      out.F64(c.Credits * static_cast<double>(*creditsComp));
      out.I16(static_cast<long>(c.Groups.size()));
      if (c.Groups.empty()) continue;
      const auto groupComp = comp(t * (k + 2));
      if (!groupComp) return Failed("multiplier position too high in semester " + s->Name);
      for (std::string_view g : c.Groups) {
        auto it = groupIndex.find(g);
        const long index = it == groupIndex.end() ? 0 : it->second;
        const long ref = index * *groupComp;
        if (!FitsInt16(ref)) return Failed("stored group overflows in class " + c.Name);
        out.I16(ref);
      }
    }
  }
  r.ok = true;
  return r;
}

// ---------------------------------------------------------------- decoding

DecodeResult DecodeGradeBook(std::string_view bytes, const std::string& currentPassword,
                             const PasswordPrompt& prompt) {
  const size_t end = bytes.find('\n');
  std::string_view first = bytes.substr(0, end);
  if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
  if (first != "1") return DecodeProtected(bytes, currentPassword, prompt);

  DecodeResult result;
  if (DecodePlain(bytes, result.book)) result.status = DecodeStatus::Ok;
  else result.book = GradeBook();
  return result;
}

}  // namespace mw
