// Numbers as texts and back, and Windows-1252 text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "model/amount.h"
#include "model/codepage.h"
#include "model/numtext.h"

using namespace mw;

TEST(NumberText, PlainAndFixedForms) {
  // A value, its decimals (0: PlainNumber, else FormatFixed with this many) and its text.
  const std::tuple<double, int, const char*> cases[] = {
      {3, 0, "3"}, {-0.0, 0, "0"}, {3.66, 0, "3.66"}, {1.0 / 3, 0, "0.333333333333333"},
      {0.1 + 0.2, 0, "0.3"},  // 0.30000000000000004 at 17 digits
      {123456789012345.0, 0, "123456789012345"}, {0.0001, 0, "0.0001"},
      // Exponent form at the extremes.
      {1e15, 0, "1E+15"}, {123456789012345678.0, 0, "1.23456789012346E+17"},
      {0.00001, 0, "1E-05"}, {-2.5e-7, 0, "-2.5E-07"}, {1e300, 0, "1E+300"},
      {3, 3, "3.0"}, {3.4567, 3, "3.457"}, {3.4567, 2, "3.46"}, {11.0 / 3, 2, "3.67"},
      {-9.5, 2, "-9.5"}, {1e14, 3, "100000000000000.0"},
      // From 1e15 on, exponent form rather than a run of digits.
      {1e20, 3, "1E+20"}, {-1e300, 2, "-1E+300"},
      // Carries across the decimal point.
      {9.9996, 3, "10.0"}, {0.996, 2, "1.0"},
      // An exact half goes away from zero; a value stored just below a half goes down.
      {2.0625, 3, "2.063"}, {-2.0625, 3, "-2.063"}, {2.675, 2, "2.67"}, {0.125, 2, "0.13"},
      // No negative zero.
      {-0.0001, 3, "0.0"}, {-0.0, 2, "0.0"},
      // The window never shows NaN or Inf.
      {NAN, 2, "n/a"}, {-INFINITY, 3, "n/a"},
  };
  for (const auto& [value, decimals, text] : cases)
    EXPECT_EQ(decimals ? FormatFixed(value, decimals) : PlainNumber(value), text) << value << " / " << decimals;
  EXPECT_EQ(GeneralNumber(INFINITY), "n/a");
  // Credits and grade points the window takes: finite, at most a billion either way.
  for (double v : {0.0, -1e9, 1e9, 4.3}) EXPECT_TRUE(IsSafeAmount(v)) << v;
  for (double v : {1e9 + 1, -1e307, double(NAN), double(INFINITY)}) EXPECT_FALSE(IsSafeAmount(v)) << v;
  // Whatever is written reads back as the same number.
  for (double v : {1e15, 2.5e-7, 1e300, 4.33})
    EXPECT_EQ(TextToDouble(PlainNumber(v)), v) << PlainNumber(v);
}

TEST(NumberText, LeadingNumberNeverFails) {
  const std::pair<const char*, double> cases[] = {
      {"3 credits", 3}, {"1 2\t3\n4", 1234}, {"3.5.1", 3.5}, {"-2.5e1", -25}, {"1D2", 100},
      {"3e+", 3}, {".5", 0.5}, {"&H1F", 31}, {"&hff", 255}, {"&O17", 15}, {"&O19", 1},
      {"abc", 0}, {"", 0}, {"-", 0}, {".", 0}, {"1e999", 0}};
  for (const auto& [text, value] : cases) EXPECT_EQ(LeadingNumber(text), value) << text;
}

TEST(NumberText, IsNumericText) {
  for (const char* yes : {"3", "3.", " 3 ", "-2", "+.5", "1e-5", "2D3"})
    EXPECT_TRUE(IsNumericText(yes)) << yes;
  for (const char* no : {"", " ", "3.x", ".", "-", "1E", "1e+", "3 5", "3.5.1", "1e999", "&H10", "3,5"})
    EXPECT_FALSE(IsNumericText(no)) << no;
}

TEST(NumberText, SixteenBitHalvesToEvenAndOverflow) {
  const std::pair<double, int> cases[] = {{0.5, 0},  {1.5, 2},   {2.5, 2},         {-0.5, 0},
                                          {-1.5, -2}, {32767.4, 32767}, {-32768.5, -32768}};
  for (const auto& [value, whole] : cases) EXPECT_EQ(ToInt16(value), whole) << value;
  for (double v : {32767.5, -32769.0, std::nan(""), std::numeric_limits<double>::infinity()})
    EXPECT_FALSE(ToInt16(v).has_value()) << v;
}

TEST(NumberText, StrictReadsForFilesAndSettings) {
  EXPECT_EQ(TextToInt16("2.5"), 2);
  EXPECT_EQ(TextToInt16(" -1 "), -1);
  EXPECT_EQ(TextToInt16("032767"), 32767);
  for (const char* bad : {"abc", "32768", "40000", ""}) EXPECT_FALSE(TextToInt16(bad).has_value()) << bad;
  EXPECT_FALSE(TextToDouble("3.66x").has_value());
  // Short plain decimals read to the bit as strtod reads them.
  for (uint32_t m = 1; m < 1000000000; m = m * 7 + 3) {
    const std::string d = std::to_string(m);
    for (size_t dot = 1; dot <= d.size(); ++dot)
      for (const std::string& t : {d.substr(0, dot) + (dot < d.size() ? "." + d.substr(dot) : ""), "-0." + d})
        EXPECT_EQ(TextToDouble(t), std::strtod(t.c_str(), nullptr)) << t;
  }
  EXPECT_EQ(TextToBool("True"), true);
  EXPECT_EQ(TextToBool("false"), false);
  EXPECT_EQ(TextToBool("-1"), true);
  EXPECT_EQ(TextToBool("0"), false);
  EXPECT_FALSE(TextToBool("yes").has_value());
}

TEST(Codepage, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = Cp1252ToUtf8(all);
  const auto back = Utf8ToCp1252(utf8);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, all);
  EXPECT_EQ(CharCount(utf8), 256u);
}

TEST(Codepage, KnownCharacters) {
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC"), std::string("\x80"));  // euro sign
  EXPECT_EQ(Utf8ToCp1252("caf\xC3\xA9"), std::string("caf\xE9"));
  EXPECT_EQ(Cp1252ToUtf8("\x93quoted\x94"), "\xE2\x80\x9Cquoted\xE2\x80\x9D");
  // A CJK character, a sequence cut short, an overlong form, a surrogate.
  for (const char* bad : {"\xE4\xB8\xAD", "\xC3", "\xC0\xAF", "\xED\xA0\x80"}) EXPECT_FALSE(Utf8ToCp1252(bad).has_value()) << bad;
}

TEST(Codepage, StorableNames) {
  for (const std::string yes : {"Calculus I", "Fran\xC3\xA7" "ais", ""}) EXPECT_TRUE(IsStorableName(yes)) << yes;
  for (const std::string& no : {std::string("two\nlines"), std::string("carriage\rreturn"),
                               std::string("\xE4\xB8\xAD\xE6\x96\x87"), std::string("nul\0byte", 8)})
    EXPECT_FALSE(IsStorableName(no)) << no;
}
