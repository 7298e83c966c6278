// The two file layouts byte for byte, the password key of the protected one and its
// multipliers, and round trips through both; then what cannot be written, what cannot be read,
// and the password prompts around a read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <tuple>

#include "book_helpers.h"
#include "storage/storage_detail.h"

namespace mw {
namespace {
using namespace mw::test;
using storage_detail::CheckPassword;
using storage_detail::GetComp;
using storage_detail::MakePasswordKey;

const std::string kAbc = "abc";  // salt 64: multiplier 92 at position 1, 90 at 2, 91 at 3

TEST(FileLayout, PlainLinesInOrder) {
  GradeBook gb;
  gb.Methods.resize(1);
  gb.Methods[0].Name = "Simple";
  gb.Methods[0].SetNumerical({4.3, 4, 3.66, 3.3, 3, 2.7, 2.3, 2, 1.7, 1.3, 1, 0.7, 0});
  gb.MethodPos = 0;
  gb.GroupNames = {{"Everything", true}, {"Core", false}};
  AddSemester(gb, "Spring");
  AddSemester(gb, "Fall").AddClass(MakeClass(gb, "Café", 12, 1.0 / 3, {"Core", "Everything"}));
  std::swap(gb.SemesterOrder[0], gb.SemesterOrder[1]);  // shown as Fall, Spring

  const EncodeResult r = EncodePlain(gb);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.bytes,
            "1\r\n1\r\n0\r\nSimple\r\n4.3\r\n4\r\n3.66\r\n3.3\r\n3\r\n2.7\r\n2.3\r\n2\r\n1.7\r\n"
            "1.3\r\n1\r\n0.7\r\n0\r\n2\r\nEverything\r\nTrue\r\nCore\r\nFalse\r\n2\r\n"
            "Fall\r\n1\r\nCaf\xE9\r\n12\r\n0.333333333333333\r\n2\r\nCore\r\nEverything\r\n"
            "Spring\r\n0\r\n");
  // Read back with bare LF: the same book, display order now file order.
  std::string lf = r.bytes;
  lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
  EXPECT_EQ(EncodePlain(DecodeGradeBook(lf, "", nullptr).book).bytes, r.bytes);
}

TEST(FileLayout, ProtectedWorkedExample) {
  const GradeBook gb = OneClassBook();
  const std::string b = EncodeProtected(gb, kAbc, FixedSalt(64)).bytes;
  ASSERT_EQ(b.size(), 738u);
  // Format word, key, method count and selection, group count, mask, semester count, class
  // count, grade x 92, group count, group reference.
  const std::pair<size_t, int> words[] = {
      {0, 3},    {2, 64}, {4, 6111}, {6, 1372}, {8, 9999}, {10, 5796}, {12, 5040}, {14, 5418},
      {16, 3},   {18, 0}, {524, 1},  {590, -1}, {592, 1},  {658, 1},   {724, 3 * 92}, {736, 0}};
  for (const auto& [at, value] : words) EXPECT_EQ(Get<int16_t>(b, at), value) << at;
  EXPECT_EQ(b.substr(20, 64), gb.Methods[0].Name + std::string(64 - gb.Methods[0].Name.size(), ' '));
  EXPECT_EQ(Get<double>(b, 20 + 168 * 3 - 8), gb.Methods[2].GetEquiv(12));
  EXPECT_EQ(b.substr(526, 64), "Everything" + std::string(54, ' '));
  EXPECT_EQ(b.substr(660, 64), "Math" + std::string(60, ' '));
  EXPECT_EQ(Get<double>(b, 726), 4.0 * 90);

  // Group references carry the position-3 multiplier; format word 2 stores values as they are.
  GradeBook two = gb;
  two.GroupNames.push_back({"Core", false});
  two.SetGroups(two.Semesters[0].Classes[0], {"Core", "Everything"});
  EXPECT_EQ(Get<int16_t>(EncodeProtected(two, kAbc, FixedSalt(64)).bytes, 802), 91);
  const EncodeResult w2 = storage_detail::EncodeProtectedWord(two, kAbc, FixedSalt(64), 2);
  EXPECT_EQ(Get<int16_t>(w2.bytes, 790), 3);
  EXPECT_EQ(Get<double>(w2.bytes, 792), 4.0);
  EXPECT_EQ(Get<int16_t>(w2.bytes, 802), 1);
  const DecodeResult d = DecodeGradeBook(w2.bytes, kAbc, kKeep);
  ASSERT_EQ(d.status, DecodeStatus::Ok);
  ExpectSameContent(two, d.book);
}

// A book with the awkward cases: long names, trailing blanks, thirds, every grade. The
// protected form cuts names to 64 characters and drops trailing blanks; `cut` does so here.
GradeBook AwkwardBook(bool cut = false) {
  auto n = [cut](std::string s) { return cut ? s.erase(std::min(s.find_last_not_of(' ') + 1, size_t{64})) : s; };
  GradeBook gb = FreshBook();
  gb.MethodPos = 2;
  // "Core " and "Labs " alike in length and last byte, as a reader's shortcut might confuse.
  gb.GroupNames = {{"Everything", true}, {n("Core "), false}, {n("Labs "), true}};
  AddSemester(gb, std::string(64, 'S'));
  Semester& s = AddSemester(gb, n(std::string(70, 'T')));
  // Labs for odd grades, Core for those not divisible by 3.
  const std::vector<std::string> sets[] = {{},       {n("Labs "), n("Core ")}, {n("Core ")},
                                           {n("Labs ")}, {n("Core ")}, {n("Labs "), n("Core ")}};
  for (int g = 0; g <= 12; ++g) s.AddClass(MakeClass(gb, n("Class " + std::to_string(g) + "  "), g, g / 3.0, sets[g % 6]));
  AddSemester(gb, n("Été ")).AddClass(MakeClass(gb, n(std::string(70, 'c')), 12, 1.0 / 3, {}));
  return gb;
}

TEST(FileRoundTrip, PlainKeepsEverythingProtectedCutsNamesEmptyBooksBoth) {
  GradeBook saved = AwkwardBook();
  std::reverse(saved.Semesters.begin(), saved.Semesters.end());  // file order: display order
  const DecodeResult plain = DecodeGradeBook(EncodePlain(saved).bytes, "old", nullptr);
  EXPECT_TRUE(plain.status == DecodeStatus::Ok && plain.password.empty());  // no password held
  ExpectSameContent(AwkwardBook(), plain.book);

  for (const std::string password : {"a", "Pässwö", "abcdef"})
    for (const SaltSource& salt : {ClockSeededSalt(), FixedSalt(126)}) {
      PromptScript script{{password}};
      const DecodeResult d = DecodeGradeBook(EncodeProtected(AwkwardBook(), password, salt).bytes, "", script.Prompt());
      ASSERT_TRUE(d.status == DecodeStatus::Ok && d.isProtected && d.password == password) << password;
      ExpectSameContent(AwkwardBook(true), d.book);
    }

  GradeBook empty;  // no methods, no groups, no semesters
  const std::string bare = EncodePlain(empty).bytes, prot = EncodeProtected(empty, "x", FixedSalt(100)).bytes;
  EXPECT_EQ(bare + std::to_string(prot.size()), "1\r\n0\r\n-1\r\n0\r\n0\r\n24");
  for (const std::string& bytes : {bare, prot}) {
    const DecodeResult d = DecodeGradeBook(bytes, "x", kKeep);
    EXPECT_EQ(d.status, DecodeStatus::Ok);
    ExpectSameContent(empty, d.book);
  }
}

std::vector<int> Values(const PasswordKey& k) { return {k.values, k.values + 7}; }

TEST(PasswordKey, WorkedValuesAndTheCheck) {
  // "abc" with salt 64: three values from the characters, three from the chain rule; with one
  // character, values 2 to 6 all come from the chain rule.
  EXPECT_EQ(Values(MakePasswordKey("abc", 64)), (std::vector<int>{64, 6111, 1372, 9999, 5796, 5040, 5418}));
  EXPECT_EQ(Values(MakePasswordKey("a", 64)), (std::vector<int>{64, 6111, 882, 7497, 189, 3843, 2016}));
  // Characters count by their Windows-1252 codes; the largest values stay within 16 bits.
  EXPECT_EQ(MakePasswordKey("é", 64).values[1], 63 * 233);
  EXPECT_EQ(MakePasswordKey("ÿÿÿÿÿÿ", 127).values[1], 126 * 255);

  const PasswordKey one = MakePasswordKey("a", 100), five = MakePasswordKey("abcde", 77);
  const PasswordKey eight = MakePasswordKey("abcdefgh", 77);
  for (const char* pw : {"abcdefgh", "abcdefXY", "abcdef"})  // only six characters count
    EXPECT_TRUE(CheckPassword(pw, eight)) << pw;
  for (const char* pw : {"abcdeZgh", "Abcdefgh"}) EXPECT_FALSE(CheckPassword(pw, eight)) << pw;
  for (const char* pw : {"b", "aa", ""}) EXPECT_FALSE(CheckPassword(pw, one)) << pw;
  // A longer or shorter password, or a character with no Windows-1252 code, never matches.
  for (const char* pw : {"abcdef", "abcd", "abcdeЖ"}) EXPECT_FALSE(CheckPassword(pw, five)) << pw;
  PasswordKey junk;
  for (int16_t& v : junk.values) v = INT16_MIN;
  EXPECT_FALSE(CheckPassword("a", junk));
}

TEST(PasswordKey, MultipliersAtTheirEdges) {
  EXPECT_EQ(GetComp(false, 5, 64, "abc"), 1);
  EXPECT_EQ(GetComp(true, 5, 64, ""), 1);
  // "ab", salt 64: position 1 takes character 1, position 2 character 2.
  EXPECT_EQ(GetComp(true, 1, 64, "ab"), 90);
  EXPECT_EQ(GetComp(true, 2, 64, "ab"), 91);
  // Salt 126 gives -7 everywhere; salt 74 with "/" gives 0.
  for (int j : {1, 2, 100, 257}) EXPECT_EQ(GetComp(true, j, 126, "xyz?"), -7);
  EXPECT_EQ(GetComp(true, 1, 74, "/"), 0);
  EXPECT_TRUE(storage_detail::SaltGivesZero("a/", 74));
  EXPECT_FALSE(storage_detail::SaltGivesZero("a/", 126));
  // (j + 1) x 127 overflows 16 bits above position 257.
  EXPECT_TRUE(GetComp(true, 257, 64, "abc").has_value());
  EXPECT_FALSE(GetComp(true, 258, 64, "abc").has_value());
  EXPECT_EQ(GetComp(false, 258, 64, "abc"), 1);

  // The clock-seeded salt stays in range and varies.
  SaltSource salt = ClockSeededSalt();
  std::set<int> seen;
  for (int i = 0; i < 5000; ++i) seen.insert(salt());
  EXPECT_GE(*seen.begin(), 64);
  EXPECT_LE(*seen.rbegin(), 127);
  EXPECT_GT(seen.size(), 32u);
}

// Replaces line `index` (from 0) of a plain file.
std::string WithLine(const std::string& plain, size_t index, const std::string& line) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) start = plain.find("\r\n", start) + 2;
  return plain.substr(0, start) + line + plain.substr(plain.find("\r\n", start));
}

TEST(FileEncodeFailure, WhatCannotBeWrittenAndSaltsThatCannotBeUsed) {
  // Each change spoils the one-class book for the plain form; the flag: whether the protected
  // form writes it (a name field can hold a line break, a line cannot).
  const std::pair<std::function<void(GradeBook&)>, bool> cases[] = {
      {[](GradeBook& gb) { gb.Semesters[0].Classes[0].Name = "Ж"; }, false},
      {[](GradeBook& gb) { gb.GroupNames[0].Name = "Every\r\nthing"; }, true},
      {[](GradeBook& gb) { gb.Semesters[0].Classes[0].Grade = 13; }, false},
      {[](GradeBook& gb) { gb.MethodPos = 3; }, false},
      {[](GradeBook& gb) { gb.SemesterOrder[0].Name = "Winter"; }, false},  // list disagrees
      {[](GradeBook& gb) { gb.Semesters[0].Classes[0].Credits = INFINITY; }, false},
      // Credits past the bound every figure keeps to, and grade points that are no number.
      {[](GradeBook& gb) { gb.Semesters[0].Classes[0].Credits = 1e307; }, false},
      {[](GradeBook& gb) { gb.Methods[1].SetSpecific(4, NAN); }, false}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    GradeBook gb = OneClassBook();
    cases[i].first(gb);
    EXPECT_FALSE(EncodePlain(gb).ok) << i;
    EXPECT_EQ(EncodeProtected(gb, "pw", FixedSalt(64)).ok, cases[i].second) << i;
  }
  // No password, one a file cannot hold, one longer than six characters.
  for (const char* pw : {"", "pwЖ", "abcdefg"}) EXPECT_FALSE(EncodeProtected(OneClassBook(), pw, FixedSalt(64)).ok);

  // Tenth semester, 24th class in a group: group multiplier position 10 x 26 = 260.
  GradeBook gb = OneClassBook();
  for (int t = 2; t <= 10; ++t) AddSemester(gb, "S" + std::to_string(t));
  for (int k = 1; k <= 24; ++k) gb.Semesters.back().AddClass(MakeClass(gb, "C" + std::to_string(k), 1, 3, {}));
  EXPECT_TRUE(EncodeProtected(gb, "pw").ok);  // no groups: no group multiplier needed
  gb.SetGroups(gb.Semesters.back().Classes.back(), {"Everything"});
  EXPECT_TRUE(!EncodeProtected(gb, "pw").ok && EncodePlain(gb).ok);

  // Salt 74 gives "/" a multiplier of 0; the next draw is used instead.
  int draws = 0;
  EncodeResult r = EncodeProtected(OneClassBook(), "a/", [&draws] { return ++draws < 3 ? 74 : 90; });
  EXPECT_EQ(Get<int16_t>(r.bytes, 2), 90);
  // A source that only ever gives bad salts ends with 126, and the file still reads.
  r = EncodeProtected(OneClassBook(), "/", FixedSalt(74));
  EXPECT_EQ(Get<int16_t>(r.bytes, 2), 126);
  EXPECT_EQ(DecodeGradeBook(r.bytes, "/", kKeep).status, DecodeStatus::Ok);

  // Groups the group list lacks (emptied, or left by a removal) are added to the file's list
  // outside the mask, each once: the classes keep them and the figures do not change.
  gb = OneClassBook();
  gb.GroupNames = {{"Core", true}};
  gb.Semesters[0].AddClass(MakeClass(gb, "Art", 0, 2, {"Labs", "Core", "Everything"}));
  PromptScript script{{"pw"}};
  const DecodeResult d = DecodeGradeBook(EncodeProtected(gb, "pw").bytes, "", script.Prompt());
  ASSERT_EQ(d.status, DecodeStatus::Ok);
  GradeBook want = gb;
  want.GroupNames = {{"Core", true}, {"Everything", false}, {"Labs", false}};
  ExpectSameContent(want, d.book);
}

TEST(FileDecodeFailure, PlainAndProtectedFilesThatDoNotRead) {
  std::string good = EncodePlain(OneClassBook()).bytes;
  ASSERT_EQ(DecodeGradeBook(good, "", nullptr).status, DecodeStatus::Ok);
  // Cut anywhere, inside the last line ("Everything" cut to "Ever") too: the reading error.
  for (size_t n = 0; n < good.size(); ++n)
    EXPECT_EQ(DecodeGradeBook(good.substr(0, n), "", nullptr).status, DecodeStatus::Error) << n;
  // Line numbers in the one-class book: 1 methods, 2 selected, 47 mask flag, 48 semesters,
  // 52 grade, 53 credits, 54 class groups, 55 its group.
  const std::pair<size_t, const char*> bad[] = {
      {1, "three"}, {1, "40000"}, {2, "3"}, {2, "-2"}, {3, "Bad\rName"}, {55, "Every\rthing"}, {4, "4,3"},
      {47, "maybe"}, {48, "1.x"}, {52, "13"}, {52, "-1"}, {53, ""}, {53, "1e999"}, {54, "2"},
      {53, "1e10"}, {53, "-1000000001"}, {4, "2e9"}};  // past the bound every figure keeps to
  for (const auto& [line, text] : bad) {
    const DecodeResult d = DecodeGradeBook(WithLine(good, line, text), "", nullptr);
    EXPECT_EQ(d.status, DecodeStatus::Error) << line << ": " << text;
    EXPECT_TRUE(d.book.Semesters.empty() && d.book.Methods.empty());
  }
  const std::string cls = OneClassBook().Semesters[0].Classes[0].Name;
  EXPECT_NE(DecodeGradeBook(WithLine(good, 53, "1e10"), "", nullptr).error.find(cls), std::string::npos);
  // Whatever the selected position reads as, it must name a method or be -1.
  EXPECT_EQ(DecodeGradeBook(WithLine(good, 2, "1.5"), "", nullptr).book.MethodPos, 2);
  // Only exactly "1" on the first line is the plain form.
  for (const char* first : {"1 ", "01", ""}) {
    const DecodeResult d = DecodeGradeBook(WithLine(good, 0, first), "", nullptr);
    EXPECT_TRUE(d.status == DecodeStatus::Error && d.isProtected) << first;
  }

  // The protected form, read with its password typed once, then Cancel: a damaged file is the
  // reading error; a value that does not divide back means the password was wrong, so it is
  // asked again.
  good = EncodeProtected(OneClassBook(), "abc", FixedSalt(64)).bytes;
  auto read = [](const std::string& b, const char* pw = "abc") -> std::string {
    PromptScript script{{pw}};
    const DecodeResult d = DecodeGradeBook(b, "", script.Prompt());
    return d.status == DecodeStatus::Cancelled && script.modes == std::vector<int>{2, 3} ? "asked again"
           : d.status == DecodeStatus::Ok ? "ok" : d.status == DecodeStatus::Error ? "error" : "?";
  };
  auto decode = [&read](std::string b, size_t at, int v, const char* pw = "abc") { PutI16(b, at, v); return read(b, pw); };
  ASSERT_EQ(read(good), "ok");
  for (size_t n = 0; n < good.size(); ++n) ASSERT_EQ(read(good.substr(0, n)), "error") << n;
  const std::tuple<size_t, int, std::string> badWords[] = {
      {0, 4, "error"}, {18, 3, "error"},                         // format word, selected method
      {724, 13 * 92, "asked again"}, {724, 3 * 92 + 1, "asked again"},  // grade 13, no multiple of 92
      {736, 91, "asked again"}, {736, -91, "asked again"}};        // group 1 of a list of one
  for (const auto& [at, value, outcome] : badWords) EXPECT_EQ(decode(good, at, value), outcome) << at;
  // Credits or grade points that are no number or past the bound: the reading error.
  for (size_t at : {726u, 84u}) {
    for (const double v : {double(NAN), double(INFINITY), 1e308}) {
      std::string b = good;
      b.replace(at, 8, reinterpret_cast<const char*>(&v), 8);
      EXPECT_EQ(read(b), "error") << at << " " << v;
    }
  }
  // Negative counts read no entries.
  EXPECT_EQ(decode(good.substr(0, 526) + std::string(2, '\0'), 524, -1), "ok");
  // A key that passes the check with a zero multiplier: no division, the password is wrong.
  std::string zero = EncodeProtected(OneClassBook(), "/", FixedSalt(100)).bytes;
  const PasswordKey key = MakePasswordKey("/", 74);
  for (int i = 1; i < 7; ++i) PutI16(zero, 2 + 2 * i, key.values[i]);
  EXPECT_EQ(decode(zero, 2, key.values[0], "/"), "asked again");
}

TEST(FilePasswordPrompt, ModesCancelRetriesAndSharedCharacters) {
  const std::string bytes = EncodeProtected(OneClassBook(), "secret", FixedSalt(99)).bytes;
  PromptScript retry{{"wrong", "secreX", "secretЖ", "secret"}};  // Ж: no such password exists
  DecodeResult d = DecodeGradeBook(bytes, "", retry.Prompt());
  EXPECT_TRUE(d.status == DecodeStatus::Ok && d.password == "secret");
  EXPECT_EQ(retry.modes, (std::vector<int>{2, 3, 3, 3}));

  PromptScript cancel{{"wrong"}};  // then Cancel
  d = DecodeGradeBook(bytes, "", cancel.Prompt());
  EXPECT_TRUE(d.status == DecodeStatus::Cancelled && d.password.empty() && d.book.Methods.empty());

  // The prompt starts from the password held so far; closing it by its frame keeps that.
  d = DecodeGradeBook(bytes, "secret", kKeep);
  EXPECT_TRUE(d.status == DecodeStatus::Ok && d.password == "secret");
}

TEST(FilePasswordPrompt, PasswordsLongerThanSixReadOnlyWhereTheyCannotMislead) {
  // All A+ in the first group: grade 0 and group 0 divide back under any multiplier, so only
  // the credits tell two readings apart. Mixed grades tell them apart at once. Credits in
  // thirds lie on no plain grid under either reading.
  GradeBook aPlus = OneClassBook(), mixed = OneClassBook(), thirds = OneClassBook();
  aPlus.Semesters[0].Classes[0].Grade = thirds.Semesters[0].Classes[0].Grade = 0;
  thirds.Semesters[0].Classes[0].Credits = 1.0 / 3;
  for (int k = 2; k <= 8; ++k) {
    aPlus.Semesters[0].AddClass(MakeClass(aPlus, "C" + std::to_string(k), 0, k, {"Everything"}));
    mixed.Semesters[0].AddClass(MakeClass(mixed, "C" + std::to_string(k), k, k, {"Everything"}));
    thirds.Semesters[0].AddClass(MakeClass(thirds, "C" + std::to_string(k), 0, k / 3.0, {"Everything"}));
  }
  struct Case {
    const GradeBook* book;
    std::string bytes;
    std::vector<std::string> typed;  // then Cancel
    std::optional<Reading> chosen;   // the chooser's answer; asked only when both are plain or not
    int choices;                     // how often it is asked
    bool loads;
    std::string password;  // the accepted one
  };
  const std::string elsewhere = SavedElsewhere(thirds, "abcdefgh", 70);
  const Case cases[] = {
      // Saved here with six: a longer text reads as its first six when only those hold, or
      // when only their credits lie on the plain grid.
      {&mixed, EncodeProtected(mixed, "abcdef", FixedSalt(70)).bytes, {"abcdefgh"}, {}, 0, true, "abcdef"},
      {&aPlus, EncodeProtected(aPlus, "abcdef", FixedSalt(70)).bytes, {"abcdefgh"}, {}, 0, true, "abcdef"},
      // Saved elsewhere with eight: exactly that text opens it, at once when only the whole
      // reading holds or lies on the grid.
      {&mixed, SavedElsewhere(mixed, "abcdefgh", 70), {"abcdefgh"}, {}, 0, true, "abcdefgh"},
      {&aPlus, SavedElsewhere(aPlus, "abcdefgh", 70), {"abcdefgh"}, {}, 0, true, "abcdefgh"},
      // Neither reading on the grid: the user chooses, or cancels; typing it twice decides
      // nothing.
      {&thirds, elsewhere, {"abcdefgh"}, Reading::Whole, 1, true, "abcdefgh"},
      {&thirds, elsewhere, {"abcdefgh"}, std::nullopt, 1, false, ""},
      // Elsewhere with eight, typed with another eighth: neither reading holds.
      {&mixed, SavedElsewhere(mixed, "abcdefgh", 70), {"abcdefgX"}, {}, 0, false, ""}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    PromptScript script{c.typed};
    int choices = 0;
    const DecodeResult d = DecodeGradeBook(c.bytes, "", script.Prompt(), [&](const GradeBook&, const GradeBook&) {
      ++choices;
      return c.chosen;
    });
    ASSERT_EQ(d.status, c.loads ? DecodeStatus::Ok : DecodeStatus::Cancelled) << i;
    EXPECT_EQ(choices, c.choices) << i;
    EXPECT_EQ(script.modes.size(), c.typed.size() + (!c.loads && !c.choices)) << i;
    if (c.loads) {
      EXPECT_EQ(d.password, c.password) << i;
      ExpectSameContent(*c.book, d.book);
    }
  }
  // Without a chooser, two readings off the grid count as a wrong password, however often typed.
  PromptScript twice{{"abcdefgh", "abcdefgh"}};
  EXPECT_EQ(DecodeGradeBook(elsewhere, "", twice.Prompt()).status, DecodeStatus::Cancelled);
  EXPECT_EQ(twice.modes.size(), 3u);
}

TEST(FilePasswordPrompt, WhatThePromptRefuses) {
  using enum PromptMode;
  const std::tuple<PromptMode, const char*, bool> rows[] = {
      {Save, "", false},       {Save, "abcdef", false},  {Save, "Pässwö", false},
      {Save, "abcdefg", true}, {Save, "пароль", true},   {Open, "abcdefghij", false},
      {Retry, "abcdefghij", false}, {Open, "пароль", true}, {Retry, "ab\xFF", true}};
  for (const auto& [mode, text, refused] : rows)
    EXPECT_EQ(PasswordRefusal(mode, text).has_value(), refused) << static_cast<int>(mode) << text;
}

// Near misses: a password the key accepts but that differs after the sixth character, each
// typed twice. For files this program writes (six characters at most), none may load other
// values; the chooser, when asked, cancels.
TEST(FilePasswordPrompt, NearMissesNeverLoadOtherValues) {
  std::mt19937 random(7);
  auto anyChar = [&random] { return static_cast<char>(' ' + random() % 95); };
  GradeBook aPlus = OneClassBook(), mixed = OneClassBook(), one = OneClassBook();
  aPlus.Semesters[0].Classes[0].Grade = 0;
  for (int k = 2; k <= 12; ++k) {
    aPlus.Semesters[0].AddClass(MakeClass(aPlus, "C" + std::to_string(k), 0, k * 0.5, {"Everything"}));
    mixed.Semesters[0].AddClass(MakeClass(mixed, "C" + std::to_string(k), k % 13, k * 0.5, {"Everything"}));
  }
  int choices = 0;
  for (const GradeBook* book : {&aPlus, &mixed, &one}) {
    std::string saved(6, ' ');
    for (char& ch : saved) ch = anyChar();
    const std::string bytes = EncodeProtected(*book, saved).bytes;
    ASSERT_FALSE(bytes.empty());
    for (int i = 0; i < 1000; ++i) {
      std::string typed = saved;
      for (size_t extra = 1 + random() % 6; extra > 0; --extra) typed += anyChar();
      PromptScript script{{typed, typed}};
      const DecodeResult d = DecodeGradeBook(bytes, "", script.Prompt(), [&choices](const GradeBook&, const GradeBook&) {
        ++choices;
        return std::optional<Reading>();
      });
      if (d.status == DecodeStatus::Cancelled) continue;  // asked again
      ASSERT_EQ(d.status, DecodeStatus::Ok) << typed;
      EXPECT_EQ(d.password, saved);
      ExpectSameContent(*book, d.book);
    }
  }
  RecordProperty("near_miss_choices_asked", choices);
}

}  // namespace
}  // namespace mw
