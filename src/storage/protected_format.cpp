// The protected form: binary, little-endian, begun by the password key, with each class's
// grade, credits and group references multiplied by numbers taken from the password.
#include <bit>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "model/amount.h"
#include "model/codepage.h"
#include "storage/format_common.h"
#include "storage/storage_detail.h"

namespace mw {
namespace format {
namespace {

using storage_detail::kName64;

// The Windows-1252 bytes a name64 field holds for a name: cut to 64, blank-filled on writing.
std::optional<std::string> Name64Bytes(std::string_view utf8) {
  auto bytes = Utf8ToCp1252(utf8);
  if (bytes && bytes->size() > kName64) bytes->resize(kName64);
  return bytes;
}

// A name as it comes back from a name64 field: cut to 64 characters, trailing blanks gone.
std::string StoredName(std::string_view utf8) {
  std::string bytes = Utf8ToCp1252Lossy(utf8);
  if (bytes.size() > kName64) bytes.resize(kName64);
  const size_t last = bytes.find_last_not_of(' ');
  bytes.resize(last == std::string::npos ? 0 : last + 1);
  return NameFromFile(bytes);
}

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
    auto bytes = Name64Bytes(utf8);
    if (!bytes) return false;
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
  // A double; NaN and the infinities are no value a grade book holds.
  bool F64(double& out) {
    if (bytes_.size() - pos_ < 8) return false;
    uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(bytes_[pos_ + i]);
    out = std::bit_cast<double>(u);
    pos_ += 8;
    return std::isfinite(out);
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
  size_t Pos() const { return pos_; }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

// The multipliers of one file: 1 everywhere for format word 2, else from the password codes.
struct Multipliers {
  bool multiplied;
  int salt;
  std::string_view codes;
  std::optional<int16_t> operator()(long j) const {
    if (!multiplied) return int16_t{1};  // however far the position counts
    if (j > INT16_MAX) return std::nullopt;
    return storage_detail::CompFromCodes(true, static_cast<int>(j), salt, codes);
  }
};

// How the body of a protected file read with one password.
enum class Body {
  Ok,
  Wrong,    // a value stored with a multiplier does not divide back to a valid one
  Damaged,  // anything else: the file ends early, a count or value no book holds
  Unbounded,  // credits past the bound every figure keeps to (wrong, for a guessed password)
};

// A stored value divided by its multiplier. With the right password the value is an exact
// multiple and the quotient lies in 0 .. limit - 1.
Body Divide(int stored, std::optional<int16_t> comp, bool multiplied, int limit, int& out) {
  if (!comp) return Body::Damaged;  // the position overflows, whatever the password
  const Body wrong = multiplied ? Body::Wrong : Body::Damaged;
  if (*comp == 0 || stored % *comp != 0) return wrong;
  out = stored / *comp;
  return out >= 0 && out < limit ? Body::Ok : wrong;
}

// The methods and groups: stored in clear, the same whatever the password.
bool DecodeHead(BinaryReader& in, GradeBook& book, std::string& error) {
  int methods = 0, pos = 0;
  if (!in.I16(methods) || !in.I16(pos)) return false;
  for (int m = 0; m < methods; ++m) {
    Method method;
    if (!in.Name64(method.Name)) return false;
    std::array<double, kGradeCount> values{};
    for (double& v : values) {
      if (!in.F64(v)) return false;
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
  if (!in.I16(groups)) return false;
  for (int g = 0; g < groups; ++g) {
    GroupEntry entry;
    int flag = 0;
    if (!in.Name64(entry.Name) || !in.I16(flag)) return false;
    entry.InMask = flag != 0;
    book.GroupNames.push_back(std::move(entry));
  }
  return true;
}

// The semesters, read into a book that holds the head already.
Body DecodeSemesters(BinaryReader in, const Multipliers& comp, GradeBook& book,
                     std::string& error) {
  const int groupCount = static_cast<int>(book.GroupNames.size());
  int semesters = 0;
  if (!in.I16(semesters)) return Body::Damaged;
  for (long t = 1; t <= semesters; ++t) {
    Semester semester;
    int classes = 0;
    if (!in.Name64(semester.Name) || !in.I16(classes)) return Body::Damaged;
    // A class record takes 76 bytes at least.
    if (classes > 0) semester.Classes.reserve(std::min<size_t>(classes, in.Left() / 76));
    for (long k = 1; k <= classes; ++k) {
      Class c;
      int stored = 0, grade = 0, memberships = 0;
      double credits = 0;
      if (!in.Name64(c.Name) || !in.I16(stored)) return Body::Damaged;
      if (Body b = Divide(stored, comp(t * k), comp.multiplied, kGradeCount, grade); b != Body::Ok)
        return b;
      c.Grade = static_cast<int16_t>(grade);
      if (!in.F64(credits)) return Body::Damaged;
      const auto creditsComp = comp(t * (k + 1));
      if (!creditsComp) return Body::Damaged;
      if (*creditsComp == 0) return comp.multiplied ? Body::Wrong : Body::Damaged;
      c.Credits = credits / static_cast<double>(*creditsComp);
      if (!IsSafeAmount(c.Credits)) {
        error = CreditsError(c.Name, semester.Name);
        return Body::Unbounded;
      }
      if (!in.I16(memberships)) return Body::Damaged;
      if (memberships > 0) c.Groups.reserve(std::min<size_t>(memberships, in.Left() / 2));
      for (int n = 0; n < memberships; ++n) {
        int ref = 0, index = 0;
        if (!in.I16(ref)) return Body::Damaged;
        if (Body b = Divide(ref, comp(t * (k + 2)), comp.multiplied, groupCount, index);
            b != Body::Ok)
          return b;
        c.Groups.push_back(book.InternGroup(book.GroupNames[static_cast<size_t>(index)].Name));
      }
      semester.AddClass(std::move(c));
    }
    book.SemesterOrder.push_back(SemesterEntry{semester.Name, true});
    book.Semesters.push_back(std::move(semester));
  }
  return Body::Ok;
}

// Reads the body after the key with one password's codes into book (emptied on failure).
Body DecodeBody(std::string_view afterKey, bool multiplied, int salt, std::string_view codes,
                GradeBook& book, std::string& error) {
  book = GradeBook();
  BinaryReader in(afterKey);
  if (!DecodeHead(in, book, error)) return Body::Damaged;
  const Body b = DecodeSemesters(in, Multipliers{multiplied, salt, codes}, book, error);
  if (b != Body::Ok) book = GradeBook();
  return b;
}

// The class values of two readings of the same file (names and methods are stored in clear).
bool SameClassValues(const GradeBook& a, const GradeBook& b) {
  if (a.Semesters.size() != b.Semesters.size()) return false;
  for (size_t s = 0; s < a.Semesters.size(); ++s) {
    const auto& ca = a.Semesters[s].Classes;
    const auto& cb = b.Semesters[s].Classes;
    if (ca.size() != cb.size()) return false;
    for (size_t k = 0; k < ca.size(); ++k) {
      if (ca[k].Grade != cb[k].Grade || a.GroupsOf(ca[k]) != b.GroupsOf(cb[k]) ||
          std::bit_cast<uint64_t>(ca[k].Credits) != std::bit_cast<uint64_t>(cb[k].Credits))
        return false;
    }
  }
  return true;
}

// True when every class's credits lie on a plain grid: whole numbers, halves, quarters or
// tenths (within the rounding of the division by the multiplier). Credits read with the wrong
// multipliers are the true ones times m / m', with m and m' two different multipliers (1 to
// 254) that each class draws at its own position. Landing on such a grid asks m' to divide 20
// times the true value times m, which most pairs do not; every class of the book doing so at
// once, each with its own pair, has a likelihood that vanishes with the number of classes.
bool CreditsOnPlainGrid(const GradeBook& book) {
  for (const Semester& s : book.Semesters) {
    for (const Class& c : s.Classes) {
      bool on = false;
      for (const double steps : {4.0, 10.0}) {
        const double x = c.Credits * steps;
        on = on || std::fabs(x - std::nearbyint(x)) <= 1e-9 * std::max(1.0, std::fabs(x));
      }
      if (!on) return false;
    }
  }
  return true;
}

// The first n characters of a UTF-8 text.
std::string FirstChars(const std::string& utf8, size_t n) {
  size_t i = 0;
  for (size_t count = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && count++ == n) break;
  }
  return utf8.substr(0, i);
}

// Keeps the end of a multiplier's range in mind: for credits the quotient of a stored double
// by its multiplier need not give back the very double that was multiplied, only one of its
// two neighbours.
bool SameCredits(double saved, double read) {
  return read == saved || read == std::nextafter(saved, INFINITY) ||
         read == std::nextafter(saved, -INFINITY);
}

// True when `read` is `saved` as the protected form holds it: names through name64 fields, a
// class's group by the name of the group it refers to, credits to their last bit.
bool SameAsStored(const GradeBook& saved, const std::vector<const Semester*>& order,
                  const GradeBook& read) {
  if (read.MethodPos != saved.MethodPos || read.Methods.size() != saved.Methods.size())
    return false;
  for (size_t m = 0; m < saved.Methods.size(); ++m) {
    if (read.Methods[m].Name != StoredName(saved.Methods[m].Name)) return false;
    for (int p = 0; p < kGradeCount; ++p)
      if (read.Methods[m].GetEquiv(p) != saved.Methods[m].GetEquiv(p)) return false;
  }
  // The listed groups first; any after them hold classes' groups the list lacked.
  if (read.GroupNames.size() < saved.GroupNames.size()) return false;
  for (size_t g = 0; g < read.GroupNames.size(); ++g) {
    const GroupEntry& r = read.GroupNames[g];
    if (g >= saved.GroupNames.size()) {
      if (r.InMask) return false;
      continue;
    }
    if (r.Name != StoredName(saved.GroupNames[g].Name) || r.InMask != saved.GroupNames[g].InMask)
      return false;
  }
  if (read.Semesters.size() != order.size()) return false;
  for (size_t t = 0; t < order.size(); ++t) {
    const Semester& s = *order[t];
    const Semester& r = read.Semesters[t];
    if (r.Name != StoredName(s.Name) || r.Classes.size() != s.Classes.size()) return false;
    for (size_t k = 0; k < s.Classes.size(); ++k) {
      const Class& c = s.Classes[k];
      const Class& rc = r.Classes[k];
      if (rc.Name != StoredName(c.Name) || rc.Grade != c.Grade ||
          !SameCredits(c.Credits, rc.Credits) || rc.Groups.size() != c.Groups.size())
        return false;
      for (size_t n = 0; n < c.Groups.size(); ++n)
        if (read.GroupName(rc.Groups[n]) != StoredName(saved.GroupName(c.Groups[n]))) return false;
    }
  }
  return true;
}

}  // namespace

DecodeResult DecodeProtected(std::string_view bytes, const std::string& currentPassword,
                             const PasswordPrompt& prompt, const ReadingChooser& choose) {
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
  const std::string_view afterKey = bytes.substr(in.Pos());
  const bool multiplied = word == 3;
  const int salt = key.values[0];

  std::string password = currentPassword;
  PromptMode mode = PromptMode::Open;
  for (;; mode = PromptMode::Retry) {
    if (prompt) {
      if (auto answer = prompt(mode)) password = std::move(*answer);
    }
    if (password.empty()) {
      result.status = DecodeStatus::Cancelled;
      return result;
    }
    const auto codes = Utf8ToCp1252(password);
    Body body = Body::Wrong;
    if (codes && storage_detail::CheckCodes(*codes, key)) {
      result.password = password;
      if (codes->size() <= kSavePasswordMaxChars) {
        body = DecodeBody(afterKey, multiplied, salt, *codes, result.book, result.error);
        if (body == Body::Unbounded) body = Body::Damaged;  // the key checked every character
      } else {
        // The key saw six characters, the multipliers see them all: a file saved with the
        // first six reads with those, one saved elsewhere with the whole text reads with it.
        GradeBook six;
        std::string sixError;  // the whole reading's error is the one told
        const Body whole = DecodeBody(afterKey, multiplied, salt, *codes, result.book, result.error);
        const Body first = DecodeBody(afterKey, multiplied, salt,
                                      std::string_view(*codes).substr(0, kSavePasswordMaxChars),
                                      six, sixError);
        bool takeSix = first == Body::Ok;  // the same values either way: the six saved here
        body = whole == Body::Ok || first == Body::Ok ? Body::Ok : Body::Wrong;
        if (whole == Body::Ok && first == Body::Ok && !SameClassValues(result.book, six)) {
          // Both readings hold and differ. Retyping cannot tell them apart: the plain grid
          // can, else the user chooses between them side by side.
          const bool wholePlain = CreditsOnPlainGrid(result.book);
          if (wholePlain != CreditsOnPlainGrid(six)) {
            takeSix = !wholePlain;
          } else if (!choose) {
            body = Body::Wrong;
          } else if (const std::optional<Reading> chosen = choose(result.book, six)) {
            takeSix = *chosen == Reading::FirstSix;
          } else {
            result = DecodeResult{};
            result.isProtected = true;
            result.status = DecodeStatus::Cancelled;
            return result;
          }
        } else if (body != Body::Ok) {
          // Neither holds: damaged only when a reading found no multiplier could help.
          if (whole == Body::Damaged || first == Body::Damaged) body = Body::Damaged;
          if (whole == Body::Unbounded && first == Body::Unbounded) body = Body::Damaged;
        }
        if (body == Body::Ok && takeSix) {
          result.book = std::move(six);
          result.password = FirstChars(password, kSavePasswordMaxChars);
        }
      }
    }
    if (body == Body::Ok) break;
    result.book = GradeBook();
    result.password.clear();
    if (body == Body::Damaged) return result;
    result.error.clear();
    if (!prompt) return result;  // nobody to ask again
  }
  result.error.clear();
  result.status = DecodeStatus::Ok;
  return result;
}

}  // namespace format

EncodeResult EncodeProtected(const GradeBook& gb, const std::string& password,
                             const SaltSource& salt) {
  using namespace format;
  if (password.empty()) return Failed("no password");
  if (PasswordRefusal(PromptMode::Save, password)) return Failed("the password cannot key a save");
  EncodeResult r = storage_detail::EncodeProtectedWord(gb, password, salt, 3);
  if (!r.ok) return r;

  // Read back what was just encoded: a save reports success only for a file that loads as
  // this grade book.
  std::string error;
  std::vector<const Semester*> order;
  SemestersInDisplayOrder(gb, order, error);
  const DecodeResult back = DecodeProtected(r.bytes, password, nullptr, nullptr);
  if (back.status != DecodeStatus::Ok || !SameAsStored(gb, order, back.book))
    return Failed(std::string(storage_detail::kReadBackError));
  return r;
}

EncodeResult storage_detail::EncodeProtectedWord(const GradeBook& gb, const std::string& password,
                                                 const SaltSource& saltSource,
                                                 int16_t formatWord) {
  using namespace format;
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
  const Multipliers comp{formatWord == 3, salt, *codes};

  // A class's group is stored as the position of the first group of its name in the file's
  // group list. A name the group list lacks (the list was emptied, say) would come back as
  // some other group, so it is referred to by the first group whose name the file holds the
  // same way (cut to 64 characters, trailing blanks gone), or else added to the file's list,
  // once per such name and outside the mask: the class keeps its group, and the figures, which
  // count only the groups of the mask, stay as they were.
  std::vector<GroupEntry> fileGroups = gb.GroupNames;
  std::unordered_map<std::string_view, long> groupIndex;
  for (size_t i = 0; i < gb.GroupNames.size(); ++i)
    groupIndex.try_emplace(gb.GroupNames[i].Name, static_cast<long>(i));
  std::unordered_map<std::string, long> storedIndex;  // filled at the first unlisted name
  std::vector<long> refs;  // every class's group positions, in the order they are written
  for (const Semester* s : order) {
    for (const Class& c : s->Classes) {
      for (GroupId id : c.Groups) {
        const std::string_view g = gb.GroupName(id);
        if (auto it = groupIndex.find(g); it != groupIndex.end()) {
          refs.push_back(it->second);
          continue;
        }
        if (storedIndex.empty()) {
          for (size_t i = 0; i < gb.GroupNames.size(); ++i)
            storedIndex.try_emplace(StoredName(gb.GroupNames[i].Name), static_cast<long>(i));
        }
        auto [it, added] = storedIndex.try_emplace(StoredName(g), static_cast<long>(fileGroups.size()));
        if (added) fileGroups.push_back(GroupEntry{std::string(g), false});
        groupIndex.emplace(g, it->second);
        refs.push_back(it->second);
      }
    }
  }
  if (fileGroups.size() > INT16_MAX) return Failed("too many groups for 16 bits");

  EncodeResult r;
  size_t classes = 0;
  for (const Semester& s : gb.Semesters) classes += s.Classes.size();
  r.bytes.reserve(20 + gb.Methods.size() * 168 + fileGroups.size() * 66 +
                  gb.Semesters.size() * 66 + classes * 80);
  BinaryWriter out(r.bytes);
  out.I16(formatWord);
  for (int16_t v : KeyFromCodes(*codes, salt).values) out.I16(v);
  out.I16(static_cast<long>(gb.Methods.size()));
  out.I16(gb.MethodPos);
  for (const Method& m : gb.Methods) {
    if (!out.Name64(m.Name)) return Failed("method name cannot be stored: " + m.Name);
    for (int p = 0; p < kGradeCount; ++p) {
      if (!std::isfinite(m.GetEquiv(p))) return Failed("grade points not finite in " + m.Name);
      out.F64(m.GetEquiv(p));
    }
  }
  out.I16(static_cast<long>(fileGroups.size()));
  for (const GroupEntry& g : fileGroups) {
    if (!out.Name64(g.Name)) return Failed("group name cannot be stored: " + g.Name);
    out.I16(g.InMask ? -1 : 0);
  }
  out.I16(static_cast<long>(gb.Semesters.size()));
  long t = 0;
  size_t nextRef = 0;
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
      const double credits = c.Credits * static_cast<double>(*creditsComp);
      if (!std::isfinite(credits)) return Failed("stored credits overflow in class " + c.Name);
      out.F64(credits);
      out.I16(static_cast<long>(c.Groups.size()));
      if (c.Groups.empty()) continue;
      const auto groupComp = comp(t * (k + 2));
      if (!groupComp) return Failed("multiplier position too high in semester " + s->Name);
      for (size_t n = 0; n < c.Groups.size(); ++n) {
        const long ref = refs[nextRef++] * *groupComp;
        if (!FitsInt16(ref)) return Failed("stored group overflows in class " + c.Name);
        out.I16(ref);
      }
    }
  }
  r.ok = true;
  return r;
}

}  // namespace mw
