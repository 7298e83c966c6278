// The two file layouts byte for byte, and round trips through both.
#include <gtest/gtest.h>

#include <algorithm>

#include "book_helpers.h"
#include "storage/storage_detail.h"

namespace mw {
namespace {
using namespace mw::test;

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
  GradeBook gb;
  ResetToFresh(gb);
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
      const DecodeResult d =
          DecodeGradeBook(EncodeProtected(AwkwardBook(), password, salt).bytes, "", script.Prompt());
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

}  // namespace
}  // namespace mw
