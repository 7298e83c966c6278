// The two file layouts byte for byte, the password key of the protected one and its
// multipliers, and round trips through both.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

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

}  // namespace
}  // namespace mw
