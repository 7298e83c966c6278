#include "model/gpa.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "model/numtext.h"

namespace mw {

ClassGpa UpdateClassGPABox(GradeBook& gb) {
  const Method* m = gb.GetMethod(gb.MethodText());
  ClassGpa out;
  out.GradePoints = m ? m->GetEquiv(gb.GradePos) : 0.0;
  out.Text = Format2(out.GradePoints);
  return out;
}

namespace {

// The group mask as a small open-addressing table of names, built once per update, for the
// classes whose names do not live in place (see MaskKeyTable for the others), so that a
// class's membership test costs one cheap probe per group it belongs to instead of a walk over
// the whole group list. Gives the same answer as GradeBook::InGroupMask.
class MaskSet {
 public:
  explicit MaskSet(const GradeBook& gb) {
    size_t count = 0;
    for (const auto& g : gb.GroupNames) count += g.InMask ? 1 : 0;
    size_t size = 16;
    while (size < count * 4) size *= 2;
    slots_.assign(size, Slot{});
    mask_ = size - 1;
    for (const auto& g : gb.GroupNames)
      if (g.InMask) Insert(g.Name);
    empty_ = count == 0;
  }

  bool Contains(const GroupList& groups) const {
    if (empty_) return false;
    for (const auto& g : groups)
      if (Find(g)) return true;
    return false;
  }

 private:
  struct Slot {
    std::string_view name;
    bool used = false;
  };

  static size_t Hash(std::string_view s) {
    uint64_t head = 0, tail = 0;
    std::memcpy(&head, s.data(), std::min<size_t>(s.size(), 8));
    if (s.size() > 8) std::memcpy(&tail, s.data() + s.size() - 8, 8);
    uint64_t h = (head * 0x9E3779B97F4A7C15ull) ^ (tail * 0xC2B2AE3D27D4EB4Full) ^ s.size();
    h ^= h >> 29;
    return static_cast<size_t>(h * 0xBF58476D1CE4E5B9ull >> 32);
  }
  void Insert(std::string_view name) {
    for (size_t i = Hash(name) & mask_;; i = (i + 1) & mask_) {
      if (!slots_[i].used) {
        slots_[i] = {name, true};
        return;
      }
      if (slots_[i].name == name) return;
    }
  }
  bool Find(std::string_view name) const {
    for (size_t i = Hash(name) & mask_;; i = (i + 1) & mask_) {
      if (!slots_[i].used) return false;
      if (slots_[i].name == name) return true;
    }
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  bool empty_ = true;
};

// The short names of the group mask as a table of keys in which no two names share a slot,
// so that testing a key is one hash and one comparison, with no branch on the outcome. Built
// once per update; when no small collision-free table is found (only with a very large mask)
// it reports itself unusable and every class takes the ordinary path.
class MaskKeyTable {
 public:
  explicit MaskKeyTable(const GradeBook& gb) {
    std::vector<GroupList::Key> keys;
    for (const auto& g : gb.GroupNames)
      if (g.InMask && g.Name.size() <= GroupList::kKeyChars)
        keys.push_back(GroupList::KeyOf(g.Name));
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    int bits = 4;
    while ((size_t{1} << bits) < keys.size() * 2) ++bits;
    for (; bits <= kMaxBits && !usable_; ++bits)
      for (uint64_t seed = 0; seed < kSeeds && !usable_; ++seed)
        usable_ = TryBuild(keys, bits, seed);
  }

  bool Usable() const { return usable_; }

  // 1 when key is the key of a group in the mask, else 0.
  uint32_t Has(const GroupList::Key& key) const {
    const GroupList::Key& slot = slots_[Slot(key)];
    return static_cast<uint32_t>((slot[0] == key[0]) & (slot[1] == key[1]) & (slot[2] == key[2]));
  }

 private:
  static constexpr int kMaxBits = 12;
  static constexpr uint64_t kSeeds = 16;

  size_t Slot(const GroupList::Key& key) const {
    uint64_t h = (key[0] ^ mult_[0]) * 0x9E3779B97F4A7C15ull;
    h ^= (key[1] ^ mult_[1]) * 0xC2B2AE3D27D4EB4Full;
    h ^= (key[2] ^ mult_[2]) * 0x165667B19E3779F9ull;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    return static_cast<size_t>(h >> shift_);
  }

  bool TryBuild(const std::vector<GroupList::Key>& keys, int bits, uint64_t seed) {
    mult_ = {seed * 0xD6E8FEB86659FD93ull, seed * 0x94D049BB133111EBull,
             seed * 0xA0761D6478BD642Full};
    shift_ = 64 - bits;
    const GroupList::Key empty = GroupList::MarkerKey(0xFF);  // unlike any name or unused place
    slots_.assign(size_t{1} << bits, empty);
    for (const auto& k : keys) {
      GroupList::Key& slot = slots_[Slot(k)];
      if (slot != empty) return false;
      slot = k;
    }
    return true;
  }

  std::vector<GroupList::Key> slots_;
  std::array<uint64_t, 3> mult_{};
  int shift_ = 64;
  bool usable_ = false;
};

using GradePoints = std::array<double, kGradeCount + 1>;

// How far ahead of the class being added the refresh asks for memory, in bytes: a whole page,
// since the processor's own read-ahead stops at each page boundary.
constexpr size_t kAhead = 4096;

// Asks for the cache line at base + offset. Only a hint: the address is never read, and may lie
// past the end of the block.
inline void FetchAhead(const void* base, size_t offset) {
  __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(base) + offset));
}

// a when pick is 1, b when it is 0, chosen without a branch and bit for bit.
inline double Pick(uint64_t pick, double a, double b) {
  const uint64_t m = 0 - pick;
  return std::bit_cast<double>((std::bit_cast<uint64_t>(a) & m) |
                               (std::bit_cast<uint64_t>(b) & ~m));
}

struct Sums {
  double P = 0, C = 0, Ps = 0, Cs = 0, A = 0;
  int64_t k = 0;
};

// Adds one marked semester's classes to the sums, in order; a class outside the mask leaves
// them exactly as they were. Whether a class counts is as good as random from one class to the
// next, so the common case selects instead of branching on it: a mispredicted branch per class
// would cost more than all the rest of the work.
void AddSemester(const Semester& s, bool isCurrent, const GradePoints& points,
                 const MaskKeyTable& keys, const MaskSet& mask, Sums& sums) {
  static_assert(GroupList::kInPlace == 3);
  const bool fast = keys.Usable();
  double P = sums.P, C = sums.C, Ps = sums.Ps, Cs = sums.Cs, A = sums.A;
  int64_t k = sums.k;
  const Class* const first = s.Classes.data();
  const Class* const last = first + s.Classes.size();
  for (const Class* p = first; p != last; ++p) {
    FetchAhead(p, kAhead);  // a class spans up to three lines: a hint for each
    FetchAhead(p, kAhead + 64);
    FetchAhead(p, kAhead + 128);
    // Names held out of place: their block 16 classes ahead, their characters 8 ahead.
    if (last - p > 16) p[16].Groups.FetchNames(0);
    if (last - p > 8) p[8].Groups.FetchNames(1);
    const Class& c = *p;
    A += c.Credits;
    uint64_t in;
    if (fast && c.Groups.KeysCoverAll()) {
      const auto& g = c.Groups.InPlaceKeys();
      in = keys.Has(g[0]) | keys.Has(g[1]) | keys.Has(g[2]);
    } else {
      in = mask.Contains(c.Groups) ? 1 : 0;
    }
    const auto pos = static_cast<uint16_t>(c.Grade);  // anything outside 0..12 is worth 0
    const double x = points[pos < kGradeCount ? pos : kGradeCount] * c.Credits;
    P = Pick(in, P + x, P);
    C = Pick(in, C + c.Credits, C);
    k += static_cast<int64_t>(in);
    if (isCurrent) {
      Ps = Pick(in, Ps + x, Ps);
      Cs = Pick(in, Cs + c.Credits, Cs);
    }
  }
  sums = {P, C, Ps, Cs, A, k};
}

}  // namespace

GpaFigures UpdateGPABoxes(GradeBook& gb) {
  const Method* m = gb.GetMethod(gb.MethodText());
  const std::string cur = gb.CurrentSemesterText();

  // Grade points by grade position; every position outside the letter grades is worth 0.
  GradePoints points{};
  for (int i = 0; i < kGradeCount; ++i) points[static_cast<size_t>(i)] = m ? m->GetEquiv(i) : 0.0;

  std::unordered_set<std::string_view> marked;
  for (const auto& e : gb.SemesterOrder)
    if (e.Marked) marked.insert(e.Name);
  const MaskSet mask(gb);
  const MaskKeyTable keys(gb);

  // Which semesters count and which one is current, settled before the classes stream past
  // and push the name tables out of the cache.
  const size_t count = gb.Semesters.size();
  std::vector<uint8_t> counts(count), current(count);
  for (size_t i = 0; i < count; ++i) {
    const Semester& s = gb.Semesters[i];
    counts[i] = marked.count(s.Name) ? 1 : 0;
    current[i] = s.Name == cur ? 1 : 0;
  }

  Sums sums;
  for (size_t i = 0; i < count; ++i) {
    // Each semester's classes are a block of their own: start fetching the next one now.
    if (i + 1 < count && counts[i + 1]) {
      const void* next = gb.Semesters[i + 1].Classes.data();
      for (size_t b = 0; b < kAhead; b += 64) FetchAhead(next, b);
    }
    if (counts[i]) AddSemester(gb.Semesters[i], current[i] != 0, points, keys, mask, sums);
  }
  double P = sums.P, C = sums.C, Ps = sums.Ps, Cs = sums.Cs, A = sums.A;
  const int64_t k = sums.k;

  GpaFigures f;
  f.ClassCount = k;
  f.CountedCredits = C;
  f.AllCredits = A;
  f.CountCaption = k == 1 ? "(1 class)" : "(" + std::to_string(k) + " classes)";
  f.CountTooltip = "(" + GeneralNumber(C) + "/" + GeneralNumber(A) + " credits)";
  if (C == 0) C = 1;
  if (Cs == 0) Cs = 1;
  gb.MaskGPA = P / C;
  gb.MaskClassCount = k;
  gb.MaskCredits = C;
  f.OverallGPA = gb.MaskGPA;
  f.SemesterGPA = Ps / Cs;
  f.OverallGPAText = Format3(f.OverallGPA);
  f.SemGPAText = Format3(f.SemesterGPA);
  return f;
}

}  // namespace mw
