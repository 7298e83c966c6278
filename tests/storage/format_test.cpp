// The two file layouts byte for byte, and round trips through both.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

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
    EXPECT_EQ(d.book.Semesters[1].Name, "Spring");
  }
}

TEST(FileLayout, ProtectedWorkedExample) {
  const GradeBook gb = OneClassBook();
  const EncodeResult r = EncodeProtected(gb, kAbc, FixedSalt(64));
  ASSERT_TRUE(r.ok) << r.error;
  const std::string& b = r.bytes;
  ASSERT_EQ(b.size(), 738u);
  EXPECT_EQ(I16At(b, 0), 3);
  const std::vector<int> key = {64, 6111, 1372, 9999, 5796, 5040, 5418};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(I16At(b, 2 + 2 * i), key[i]);
  EXPECT_EQ(I16At(b, 16), 3);
  EXPECT_EQ(I16At(b, 18), 0);
  std::string firstName = gb.Methods[0].Name;
  firstName.resize(64, ' ');
  EXPECT_EQ(b.substr(20, 64), firstName);
  EXPECT_EQ(F64At(b, 84), gb.Methods[0].GetEquiv(0));
  EXPECT_EQ(F64At(b, 20 + 168 * 3 - 8), gb.Methods[2].GetEquiv(12));
  EXPECT_EQ(I16At(b, 524), 1);
  EXPECT_EQ(b.substr(526, 64), "Everything" + std::string(54, ' '));
  EXPECT_EQ(I16At(b, 590), -1);
  EXPECT_EQ(I16At(b, 592), 1);
  EXPECT_EQ(b.substr(594, 64), "Fall" + std::string(60, ' '));
  EXPECT_EQ(I16At(b, 658), 1);
  EXPECT_EQ(b.substr(660, 64), "Math" + std::string(60, ' '));
  EXPECT_EQ(I16At(b, 724), 3 * 92);
  EXPECT_EQ(F64At(b, 726), 4.0 * 90);
  EXPECT_EQ(I16At(b, 734), 1);
  EXPECT_EQ(I16At(b, 736), 0);

  // Group references carry the position-3 multiplier; format word 2 stores values as they are.
  GradeBook two = gb;
  two.GroupNames.push_back({"Core", false});
  two.Semesters[0].Classes[0].Groups = {"Core", "Everything"};
  const EncodeResult g = EncodeProtected(two, kAbc, FixedSalt(64));
  ASSERT_TRUE(g.ok);
  EXPECT_EQ(I16At(g.bytes, 802), 91);
  EXPECT_EQ(I16At(g.bytes, 804), 0);
  const EncodeResult w2 = storage_detail::EncodeProtectedWord(two, kAbc, FixedSalt(64), 2);
  EXPECT_EQ(I16At(w2.bytes, 0), 2);
  EXPECT_EQ(I16At(w2.bytes, 790), 3);
  EXPECT_EQ(F64At(w2.bytes, 792), 4.0);
  EXPECT_EQ(I16At(w2.bytes, 802), 1);
  PromptScript script({kAbc});
  DecodeResult d = DecodeGradeBook(w2.bytes, "", script.Prompt());
  ASSERT_EQ(d.status, DecodeStatus::Ok);
  ExpectSameContent(two, d.book);
}

// A book with the awkward cases: long names, trailing blanks, thirds, every grade.
GradeBook AwkwardBook() {
  GradeBook gb;
  ResetToFresh(gb, 0);
  gb.MethodPos = 2;
  gb.GroupNames = {{"Everything", true}, {"Core", false}, {"Labs ", true}};
  AddSemester(gb, std::string(64, 'S'));
  Semester& s = AddSemester(gb, std::string(70, 'T'));
  for (int g = 0; g <= 12; ++g) {
    std::vector<std::string> groups;
    if (g % 2) groups.push_back("Labs ");
    if (g % 3) groups.push_back("Core");
    s.AddClass(MakeClass("Class " + std::to_string(g) + "  ", g, g / 3.0, groups));
  }
  AddSemester(gb, "Été ").AddClass(MakeClass(std::string(70, 'c'), 12, 1.0 / 3, {}));
  return gb;
}

TEST(FileRoundTrip, PlainKeepsEverything) {
  const GradeBook gb = AwkwardBook();
  GradeBook saved = gb;
  std::reverse(saved.Semesters.begin(), saved.Semesters.end());  // file order: display order
  const EncodeResult r = EncodePlain(saved);
  ASSERT_TRUE(r.ok) << r.error;
  DecodeResult d = DecodeGradeBook(r.bytes, "old", nullptr);
  ASSERT_EQ(d.status, DecodeStatus::Ok);
  EXPECT_EQ(d.password, "");
  ExpectSameContent(gb, d.book);
}

TEST(FileRoundTrip, ProtectedCutsNamesAndDropsTrailingBlanks) {
  GradeBook want = AwkwardBook();
  auto cut = [](std::string& n) {
    n.resize(std::min<size_t>(n.size(), 64));
    n.erase(n.find_last_not_of(' ') + 1);
  };
  for (Semester& s : want.Semesters) {
    cut(s.Name);
    for (Class& c : s.Classes) {
      cut(c.Name);
      for (std::string& g : c.Groups) cut(g);
    }
  }
  for (GroupEntry& g : want.GroupNames) cut(g.Name);
  for (SemesterEntry& e : want.SemesterOrder) cut(e.Name);

  for (const std::string password : {"a", "Passwörd", "abcdefghijk"}) {
    SCOPED_TRACE(password);
    const EncodeResult one = EncodeProtected(AwkwardBook(), password);
    const EncodeResult two = EncodeProtected(AwkwardBook(), password, FixedSalt(126));
    ASSERT_TRUE(one.ok && two.ok);
    for (const std::string& bytes : {one.bytes, two.bytes}) {
      PromptScript script({password});
      DecodeResult d = DecodeGradeBook(bytes, "", script.Prompt());
      ASSERT_EQ(d.status, DecodeStatus::Ok);
      EXPECT_TRUE(d.isProtected);
      EXPECT_EQ(d.password, password);
      ExpectSameContent(want, d.book);
    }
  }
  // Each save draws its own salt: the bytes differ as a rule.
  std::set<std::string> files;
  for (int i = 0; i < 8; ++i) files.insert(EncodeProtected(AwkwardBook(), "pw").bytes);
  EXPECT_GT(files.size(), 1u);
}

TEST(FileRoundTrip, EmptyBooks) {
  GradeBook empty;  // no methods, no groups, no semesters
  const EncodeResult plain = EncodePlain(empty);
  ASSERT_TRUE(plain.ok);
  EXPECT_EQ(plain.bytes, "1\r\n0\r\n-1\r\n0\r\n0\r\n");
  const EncodeResult prot = EncodeProtected(empty, "x", FixedSalt(100));
  ASSERT_TRUE(prot.ok);
  EXPECT_EQ(prot.bytes.size(), 24u);
  for (const std::string& bytes : {plain.bytes, prot.bytes}) {
    DecodeResult d = DecodeGradeBook(bytes, "x", [](int, std::string&) {});
    ASSERT_EQ(d.status, DecodeStatus::Ok);
    ExpectSameContent(empty, d.book);
  }
}

}  // namespace
}  // namespace mw
