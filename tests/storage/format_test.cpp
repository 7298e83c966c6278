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
  Method simple;
  simple.Name = "Simple";
  simple.SetNumerical({4.3, 4, 3.66, 3.3, 3, 2.7, 2.3, 2, 1.7, 1.3, 1, 0.7, 0});
  gb.Methods = {simple};
  gb.MethodPos = 0;
  gb.GroupNames = {{"Everything", true}, {"Core", false}};
  AddSemester(gb, "Spring");
  AddSemester(gb, "Fall").AddClass(MakeClass("Café", 12, 1.0 / 3, {"Core", "Everything"}));
  std::swap(gb.SemesterOrder[0], gb.SemesterOrder[1]);  // shown as Fall, Spring

  const EncodeResult r = EncodePlain(gb);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.bytes,
            "1\r\n1\r\n0\r\nSimple\r\n4.3\r\n4\r\n3.66\r\n3.3\r\n3\r\n2.7\r\n2.3\r\n2\r\n1.7\r\n"
            "1.3\r\n1\r\n0.7\r\n0\r\n2\r\nEverything\r\nTrue\r\nCore\r\nFalse\r\n2\r\n"
            "Fall\r\n1\r\nCaf\xE9\r\n12\r\n0.333333333333333\r\n2\r\nCore\r\nEverything\r\n"
            "Spring\r\n0\r\n");
  // Read back: display order becomes file order, the same text with bare LF reads the same.
  std::string lf = r.bytes;
  lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
  for (const std::string& bytes : {r.bytes, lf}) {
    DecodeResult d = DecodeGradeBook(bytes, "", nullptr);
    ASSERT_EQ(d.status, DecodeStatus::Ok);
    EXPECT_FALSE(d.isProtected);
    ASSERT_EQ(d.book.Semesters.size(), 2u);
    EXPECT_EQ(d.book.Semesters[0].Classes.at(0).Name, "Café");
  }
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
  for (const auto& [at, value] : words) EXPECT_EQ(I16At(b, at), value) << at;
  const std::string& first = gb.Methods[0].Name;
  EXPECT_EQ(b.substr(20, 64), first + std::string(64 - first.size(), ' '));
  EXPECT_EQ(F64At(b, 84), gb.Methods[0].GetEquiv(0));
  EXPECT_EQ(F64At(b, 20 + 168 * 3 - 8), gb.Methods[2].GetEquiv(12));
  EXPECT_EQ(b.substr(526, 64), "Everything" + std::string(54, ' '));
  EXPECT_EQ(b.substr(660, 64), "Math" + std::string(60, ' '));
  EXPECT_EQ(F64At(b, 726), 4.0 * 90);

  // Group references carry the position-3 multiplier; format word 2 stores values as they are.
  GradeBook two = gb;
  two.GroupNames.push_back({"Core", false});
  two.Semesters[0].Classes[0].Groups = {"Core", "Everything"};
  EXPECT_EQ(I16At(EncodeProtected(two, kAbc, FixedSalt(64)).bytes, 802), 91);
  const EncodeResult w2 = storage_detail::EncodeProtectedWord(two, kAbc, FixedSalt(64), 2);
  EXPECT_EQ(I16At(w2.bytes, 790), 3);
  EXPECT_EQ(F64At(w2.bytes, 792), 4.0);
  EXPECT_EQ(I16At(w2.bytes, 802), 1);
  PromptScript script{{kAbc}};
  DecodeResult d = DecodeGradeBook(w2.bytes, "", script.Prompt());
  ASSERT_EQ(d.status, DecodeStatus::Ok);
  ExpectSameContent(two, d.book);
}

// A book with the awkward cases: long names, trailing blanks, thirds, every grade. The
// protected form cuts names to 64 characters and drops trailing blanks; `cut` does so here.
GradeBook AwkwardBook(bool cut = false) {
  auto n = [cut](std::string name) {
    if (cut) name.erase(std::min(name.find_last_not_of(' ') + 1, size_t{64}));
    return name;
  };
  GradeBook gb;
  ResetToFresh(gb, 0);
  gb.MethodPos = 2;
  gb.GroupNames = {{"Everything", true}, {"Core", false}, {n("Labs "), true}};
  AddSemester(gb, std::string(64, 'S'));
  Semester& s = AddSemester(gb, n(std::string(70, 'T')));
  for (int g = 0; g <= 12; ++g) {
    std::vector<std::string> groups;
    if (g % 2) groups.push_back(n("Labs "));
    if (g % 3) groups.push_back("Core");
    s.AddClass(MakeClass(n("Class " + std::to_string(g) + "  "), g, g / 3.0, groups));
  }
  AddSemester(gb, n("Été ")).AddClass(MakeClass(n(std::string(70, 'c')), 12, 1.0 / 3, {}));
  return gb;
}

TEST(FileRoundTrip, PlainKeepsEverythingProtectedCutsNames) {
  GradeBook saved = AwkwardBook();
  std::reverse(saved.Semesters.begin(), saved.Semesters.end());  // file order: display order
  DecodeResult plain = DecodeGradeBook(EncodePlain(saved).bytes, "old", nullptr);
  ASSERT_EQ(plain.status, DecodeStatus::Ok);
  EXPECT_EQ(plain.password, "");
  ExpectSameContent(AwkwardBook(), plain.book);

  for (const std::string password : {"a", "Passwörd", "abcdefghijk"}) {
    for (const SaltSource& salt : {ClockSeededSalt(), FixedSalt(126)}) {
      SCOPED_TRACE(password);
      PromptScript script{{password}};
      DecodeResult d = DecodeGradeBook(EncodeProtected(AwkwardBook(), password, salt).bytes, "",
                                       script.Prompt());
      ASSERT_EQ(d.status, DecodeStatus::Ok);
      EXPECT_TRUE(d.isProtected);
      EXPECT_EQ(d.password, password);
      ExpectSameContent(AwkwardBook(true), d.book);
    }
  }
}

TEST(FileRoundTrip, EmptyBooks) {
  GradeBook empty;  // no methods, no groups, no semesters
  const std::string plain = EncodePlain(empty).bytes;
  EXPECT_EQ(plain, "1\r\n0\r\n-1\r\n0\r\n0\r\n");
  const std::string prot = EncodeProtected(empty, "x", FixedSalt(100)).bytes;
  EXPECT_EQ(prot.size(), 24u);
  for (const std::string& bytes : {plain, prot}) {
    DecodeResult d = DecodeGradeBook(bytes, "x", [](int, std::string&) {});
    ASSERT_EQ(d.status, DecodeStatus::Ok);
    ExpectSameContent(empty, d.book);
  }
}

}  // namespace
}  // namespace mw
