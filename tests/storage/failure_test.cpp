// What cannot be written, what cannot be read, and the password prompts around a read.
#include <gtest/gtest.h>

#include <cmath>

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

TEST(FileEncodeFailure, WhatCannotBeWrittenAndSaltsThatCannotBeUsed) {
  // Each change spoils the one-class book for the plain form; the flag: whether the protected
  // form writes it (a name field can hold a line break, a line cannot).
  const std::pair<std::function<void(GradeBook&)>, bool> cases[] = {
      {[](GradeBook& gb) { gb.Semesters[0].Classes[0].Name = "Ж"; }, false},
      {[](GradeBook& gb) { gb.GroupNames[0].Name = "Every\r\nthing"; }, true},
      {[](GradeBook& gb) { gb.Semesters[0].Classes[0].Grade = 13; }, false},
      {[](GradeBook& gb) { gb.MethodPos = 3; }, false},
      {[](GradeBook& gb) { gb.SemesterOrder[0].Name = "Winter"; }, false},  // list disagrees
      {[](GradeBook& gb) { gb.Semesters[0].Classes[0].Credits = INFINITY; }, true}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    GradeBook gb = OneClassBook();
    cases[i].first(gb);
    EXPECT_FALSE(EncodePlain(gb).ok) << i;
    EXPECT_EQ(EncodeProtected(gb, "pw", FixedSalt(64)).ok, cases[i].second) << i;
  }
  for (const char* pw : {"", "pwЖ"}) EXPECT_FALSE(EncodeProtected(OneClassBook(), pw, FixedSalt(64)).ok);

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
  EXPECT_EQ(DecodeGradeBook(r.bytes, "/", [](int, std::string&) {}).status, DecodeStatus::Ok);
}

TEST(FileDecodeFailure, PlainAndProtectedFilesThatDoNotRead) {
  std::string good = EncodePlain(OneClassBook()).bytes;
  ASSERT_EQ(DecodeGradeBook(good, "", nullptr).status, DecodeStatus::Ok);
  // Cut after every line but the last: always the reading error.
  for (size_t at = good.find('\n'); at + 1 < good.size(); at = good.find('\n', at + 1))
    EXPECT_EQ(DecodeGradeBook(good.substr(0, at + 1), "", nullptr).status, DecodeStatus::Error);
  // Line numbers in the one-class book: 1 methods, 2 selected, 47 mask flag, 48 semesters,
  // 52 grade, 53 credits, 54 class groups.
  const std::pair<size_t, const char*> bad[] = {
      {1, "three"}, {1, "40000"}, {2, "3"}, {2, "-2"}, {3, "Bad\rName"}, {4, "4,3"},
      {47, "maybe"}, {48, "1.x"}, {52, "13"}, {52, "-1"}, {53, ""}, {53, "1e999"}, {54, "2"}};
  for (const auto& [line, text] : bad) {
    const DecodeResult d = DecodeGradeBook(WithLine(good, line, text), "", nullptr);
    EXPECT_EQ(d.status, DecodeStatus::Error) << line << ": " << text;
    EXPECT_TRUE(d.book.Semesters.empty() && d.book.Methods.empty());
  }
  // Whatever the selected position reads as, it must name a method or be -1.
  EXPECT_EQ(DecodeGradeBook(WithLine(good, 2, "1.5"), "", nullptr).book.MethodPos, 2);
  // Only exactly "1" on the first line is the plain form.
  for (const char* first : {"1 ", "01", ""}) {
    const DecodeResult d = DecodeGradeBook(WithLine(good, 0, first), "", nullptr);
    EXPECT_TRUE(d.status == DecodeStatus::Error && d.isProtected) << first;
  }

  // The protected form.
  good = EncodeProtected(OneClassBook(), "abc", FixedSalt(64)).bytes;
  auto read = [](const std::string& b, const char* pw = "abc") { return DecodeGradeBook(b, pw, [](int, std::string&) {}).status; };
  auto decode = [&read](std::string b, size_t at, int v, const char* pw = "abc") { PutI16(b, at, v); return read(b, pw); };
  ASSERT_EQ(read(good), DecodeStatus::Ok);
  for (size_t n = 0; n < good.size(); ++n) ASSERT_EQ(read(good.substr(0, n)), DecodeStatus::Error) << n;
  // Format word, selected method, grade 13, a grade no multiple of 92, group 1 of a list of one.
  const std::pair<size_t, int> badWords[] = {
      {0, 4}, {18, 3}, {724, 13 * 92}, {724, 3 * 92 + 1}, {736, 91}, {736, -91}};
  for (const auto& [at, value] : badWords) EXPECT_EQ(decode(good, at, value), DecodeStatus::Error) << at;
  // Negative counts read no entries.
  EXPECT_EQ(decode(good.substr(0, 526) + std::string(2, '\0'), 524, -1), DecodeStatus::Ok);
  // A key that passes the check with a zero multiplier: the division fails, no crash.
  std::string zero = EncodeProtected(OneClassBook(), "/", FixedSalt(100)).bytes;
  const PasswordKey key = MakePasswordKey("/", 74);
  for (int i = 1; i < 7; ++i) PutI16(zero, 2 + 2 * i, key.values[i]);
  EXPECT_EQ(decode(zero, 2, key.values[0], "/"), DecodeStatus::Error);
}

TEST(FilePasswordPrompt, ModesCancelRetriesAndSharedCharacters) {
  const std::string bytes = EncodeProtected(OneClassBook(), "secret", FixedSalt(99)).bytes;
  PromptScript retry{{"wrong", "secreX", "secret"}};
  DecodeResult d = DecodeGradeBook(bytes, "", retry.Prompt());
  EXPECT_TRUE(d.status == DecodeStatus::Ok && d.password == "secret");
  EXPECT_EQ(retry.modes, (std::vector<int>{2, 3, 3}));

  PromptScript cancel{{"wrong"}};  // then Cancel
  d = DecodeGradeBook(bytes, "", cancel.Prompt());
  EXPECT_TRUE(d.status == DecodeStatus::Cancelled && d.password.empty() && d.book.Methods.empty());

  // The prompt starts from the password held so far; closing it by its frame keeps that.
  std::vector<std::string> seen;
  d = DecodeGradeBook(bytes, "secret", [&seen](int, std::string& pw) { seen.push_back(pw); });
  EXPECT_TRUE(d.status == DecodeStatus::Ok && seen == std::vector<std::string>{"secret"});

  // Eight characters: the check passes on six, but the 8th class's grade 5 x 97 is no multiple
  // of 81: the reading error, not a wrong grade.
  GradeBook gb = OneClassBook();  // Math (B+) and seven classes at grade 5
  for (int k = 2; k <= 8; ++k) gb.Semesters[0].AddClass(MakeClass(gb, "C" + std::to_string(k), 5, 3, {}));
  PromptScript shared{{"abcdefgX"}};
  EXPECT_EQ(DecodeGradeBook(EncodeProtected(gb, "abcdefgh", FixedSalt(64)).bytes, "",
                            shared.Prompt()).status, DecodeStatus::Error);
  EXPECT_EQ(shared.modes, std::vector<int>{2});
}

}  // namespace
}  // namespace mw
