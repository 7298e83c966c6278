// What cannot be written, what cannot be read, and the password prompts around a read.
#include <gtest/gtest.h>

#include "book_helpers.h"

namespace mw {
namespace {
using namespace mw::test;

// Replaces line `index` (from 0) of a plain file.
std::string WithLine(const std::string& plain, size_t index, const std::string& line) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) start = plain.find("\r\n", start) + 2;
  return plain.substr(0, start) + line + plain.substr(plain.find("\r\n", start));
}

TEST(FileEncodeFailure, WhatCannotBeWritten) {
  auto fails = [](const GradeBook& gb, bool plainToo) {
    EXPECT_FALSE(EncodeProtected(gb, "pw", FixedSalt(64)).ok);
    EXPECT_EQ(EncodePlain(gb).ok, !plainToo);
  };
  GradeBook gb = OneClassBook();
  gb.Semesters[0].Classes[0].Name = "Ж";  // no Windows-1252 code
  fails(gb, true);
  gb = OneClassBook();
  gb.GroupNames[0].Name = "Every\r\nthing";  // lines cannot hold it; a name field can
  EXPECT_FALSE(EncodePlain(gb).ok);
  EXPECT_TRUE(EncodeProtected(gb, "pw").ok);
  gb = OneClassBook();
  gb.Semesters[0].Classes[0].Grade = 13;
  fails(gb, true);
  gb = OneClassBook();
  gb.MethodPos = 3;
  fails(gb, true);
  gb = OneClassBook();
  gb.SemesterOrder[0].Name = "Winter";  // the list and the semesters disagree
  fails(gb, true);
  gb = OneClassBook();
  gb.Semesters[0].Classes[0].Credits = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(EncodePlain(gb).ok);

  // Passwords: none, or with a character Windows-1252 lacks.
  EXPECT_FALSE(EncodeProtected(OneClassBook(), "", FixedSalt(64)).ok);
  EXPECT_FALSE(EncodeProtected(OneClassBook(), "pwЖ", FixedSalt(64)).ok);
}

TEST(FileEncodeFailure, MultiplierPositionLimit) {
  // Tenth semester, 24th class in a group: group multiplier position 10 x 26 = 260.
  GradeBook gb;
  ResetToFresh(gb, 0);
  for (int t = 1; t <= 10; ++t) AddSemester(gb, "S" + std::to_string(t));
  Semester& tenth = gb.Semesters.back();
  for (int k = 1; k <= 23; ++k) tenth.AddClass(MakeClass("C" + std::to_string(k), 1, 3, {}));
  EXPECT_TRUE(EncodeProtected(gb, "pw").ok);
  tenth.AddClass(MakeClass("C24", 1, 3, {}));
  EXPECT_TRUE(EncodeProtected(gb, "pw").ok);  // no groups: no group multiplier needed
  tenth.Classes.back().Groups = {"Everything"};
  EXPECT_FALSE(EncodeProtected(gb, "pw").ok);
  EXPECT_TRUE(EncodePlain(gb).ok);
}

TEST(FileEncodeFailure, ZeroMultiplierSaltIsDrawnAgain) {
  // Salt 74 gives "/" a multiplier of 0; the next draw is used instead.
  std::vector<int> draws = {74, 74, 90};
  SaltSource salt = [&draws] {
    const int s = draws.front();
    draws.erase(draws.begin());
    return s;
  };
  EncodeResult r = EncodeProtected(OneClassBook(), "a/", salt);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(I16At(r.bytes, 2), 90);
  // A source that only ever gives bad salts ends with 126.
  r = EncodeProtected(OneClassBook(), "/", FixedSalt(74));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(I16At(r.bytes, 2), 126);
  PromptScript script({"/"});
  EXPECT_EQ(DecodeGradeBook(r.bytes, "", script.Prompt()).status, DecodeStatus::Ok);
}

TEST(FileDecodeFailure, PlainTextThatDoesNotRead) {
  const std::string good = EncodePlain(OneClassBook()).bytes;
  ASSERT_EQ(DecodeGradeBook(good, "", nullptr).status, DecodeStatus::Ok);
  // Cut after every line but the last: always the reading error.
  for (size_t at = good.find('\n'); at + 1 < good.size(); at = good.find('\n', at + 1)) {
    EXPECT_EQ(DecodeGradeBook(good.substr(0, at + 1), "", nullptr).status, DecodeStatus::Error);
  }
  // Line numbers in the one-class book: 1 methods, 2 selected, 47 mask flag, 48 semesters,
  // 50 classes, 52 grade, 53 credits, 54 class groups.
  const std::vector<std::pair<size_t, std::string>> bad = {
      {1, "three"}, {1, "40000"}, {2, "3"}, {2, "-2"}, {3, "Bad\rName"}, {4, "4,3"},
      {47, "maybe"}, {48, "1.x"}, {52, "13"}, {52, "-1"}, {53, ""}, {53, "1e999"}, {54, "2"}};
  for (const auto& [line, text] : bad) {
    SCOPED_TRACE(line);
    const DecodeResult d = DecodeGradeBook(WithLine(good, line, text), "", nullptr);
    EXPECT_EQ(d.status, DecodeStatus::Error);
    EXPECT_TRUE(d.book.Semesters.empty() && d.book.Methods.empty());
  }
  // Whatever the selected position reads as, it must name a method or be -1.
  EXPECT_EQ(DecodeGradeBook(WithLine(good, 2, "-1"), "", nullptr).book.MethodPos, -1);
  EXPECT_EQ(DecodeGradeBook(WithLine(good, 2, "1.5"), "", nullptr).book.MethodPos, 2);
  // Only exactly "1" on the first line is the plain form.
  for (const std::string first : {"1 ", "01", ""}) {
    const DecodeResult d = DecodeGradeBook(WithLine(good, 0, first), "", nullptr);
    EXPECT_EQ(d.status, DecodeStatus::Error);
    EXPECT_TRUE(d.isProtected);
  }
}

TEST(FileDecodeFailure, ProtectedBytesThatDoNotRead) {
  const std::string good = EncodeProtected(OneClassBook(), "abc", FixedSalt(64)).bytes;
  auto decode = [](const std::string& bytes, const std::string& password = "abc") {
    return DecodeGradeBook(bytes, password, [](int, std::string&) {}).status;
  };
  ASSERT_EQ(decode(good), DecodeStatus::Ok);
  for (size_t n = 0; n < good.size(); ++n) {
    ASSERT_EQ(decode(good.substr(0, n)), DecodeStatus::Error) << n;
  }
  auto patched = [&good](size_t at, int v) {
    std::string b = good;
    PutI16(b, at, v);
    return b;
  };
  EXPECT_EQ(decode(patched(0, 4)), DecodeStatus::Error);       // format word
  EXPECT_EQ(decode(patched(18, 3)), DecodeStatus::Error);      // selected method
  EXPECT_EQ(decode(patched(724, 13 * 92)), DecodeStatus::Error);  // grade 13
  EXPECT_EQ(decode(patched(724, 3 * 92 + 1)), DecodeStatus::Error);  // not a multiple
  EXPECT_EQ(decode(patched(736, 91)), DecodeStatus::Error);    // group 1 of a list of one
  EXPECT_EQ(decode(patched(736, -91)), DecodeStatus::Error);
  EXPECT_EQ(decode(patched(524, -1) .substr(0, 526) + std::string(2, '\0')),
            DecodeStatus::Ok);  // negative counts read no entries
  // A key that passes the check with a zero multiplier: the division fails, no crash.
  std::string zero = EncodeProtected(OneClassBook(), "/", FixedSalt(100)).bytes;
  const PasswordKey key = MakePasswordKey("/", 74);
  for (int i = 0; i < 7; ++i) PutI16(zero, 2 + 2 * i, key.values[i]);
  EXPECT_EQ(decode(zero, "/"), DecodeStatus::Error);
}

TEST(FileDecodeFailure, WrongPasswordsSharingSixCharacters) {
  // Eight characters: the eighth gives the multiplier of position 8 (the 8th class's grade).
  GradeBook gb;
  ResetToFresh(gb, 0);
  Semester& s = AddSemester(gb, "Fall");
  for (int k = 1; k <= 8; ++k) s.AddClass(MakeClass("C" + std::to_string(k), 5, 3, {}));
  const std::string bytes = EncodeProtected(gb, "abcdefgh", FixedSalt(64)).bytes;
  // The check passes, but 5 x 97 is no multiple of 81: the reading error, not a wrong grade.
  PromptScript script({"abcdefgX"});
  EXPECT_EQ(DecodeGradeBook(bytes, "", script.Prompt()).status, DecodeStatus::Error);
  EXPECT_EQ(script.modes, std::vector<int>{2});
}

TEST(FilePasswordPrompt, ModesCancelAndRetries) {
  const std::string bytes = EncodeProtected(OneClassBook(), "secret", FixedSalt(99)).bytes;
  PromptScript retry({"wrong", "secreX", "secret"});
  DecodeResult d = DecodeGradeBook(bytes, "", retry.Prompt());
  EXPECT_EQ(d.status, DecodeStatus::Ok);
  EXPECT_EQ(d.password, "secret");
  EXPECT_EQ(retry.modes, (std::vector<int>{2, 3, 3}));
  ExpectSameContent(OneClassBook(), d.book);

  PromptScript cancel({"wrong"});  // then Cancel
  d = DecodeGradeBook(bytes, "", cancel.Prompt());
  EXPECT_EQ(d.status, DecodeStatus::Cancelled);
  EXPECT_EQ(d.password, "");
  EXPECT_TRUE(d.book.Methods.empty());
  EXPECT_EQ(cancel.modes, (std::vector<int>{2, 3}));

  // The prompt starts from the password held so far; closing it by its frame keeps that.
  std::vector<std::string> seen;
  auto keep = [&seen](int, std::string& pw) { seen.push_back(pw); };
  d = DecodeGradeBook(bytes, "secret", keep);
  EXPECT_EQ(d.status, DecodeStatus::Ok);
  EXPECT_EQ(seen, std::vector<std::string>{"secret"});
}

}  // namespace
}  // namespace mw
