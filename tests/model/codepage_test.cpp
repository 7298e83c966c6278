#include <gtest/gtest.h>

#include "model/codepage.h"

using namespace mw;

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
  EXPECT_FALSE(Utf8ToCp1252("\xE4\xB8\xAD").has_value());      // a CJK character
  EXPECT_FALSE(Utf8ToCp1252("\xC3").has_value());              // cut short
  EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF").has_value());          // overlong
  EXPECT_FALSE(Utf8ToCp1252("\xED\xA0\x80").has_value());      // surrogate
}

TEST(Codepage, StorableNames) {
  EXPECT_TRUE(IsStorableName("Calculus I"));
  EXPECT_TRUE(IsStorableName("Fran\xC3\xA7" "ais"));
  EXPECT_TRUE(IsStorableName(""));
  EXPECT_FALSE(IsStorableName("two\nlines"));
  EXPECT_FALSE(IsStorableName("carriage\rreturn"));
  EXPECT_FALSE(IsStorableName("\xE4\xB8\xAD\xE6\x96\x87"));
  EXPECT_FALSE(IsStorableName(std::string("nul\0byte", 8)));
}
