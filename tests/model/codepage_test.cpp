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
  // A CJK character, a sequence cut short, an overlong form, a surrogate.
  for (const char* bad : {"\xE4\xB8\xAD", "\xC3", "\xC0\xAF", "\xED\xA0\x80"}) EXPECT_FALSE(Utf8ToCp1252(bad).has_value()) << bad;
}

TEST(Codepage, StorableNames) {
  for (const std::string yes : {"Calculus I", "Fran\xC3\xA7" "ais", ""}) EXPECT_TRUE(IsStorableName(yes)) << yes;
  for (const std::string& no : {std::string("two\nlines"), std::string("carriage\rreturn"),
                               std::string("\xE4\xB8\xAD\xE6\x96\x87"), std::string("nul\0byte", 8)})
    EXPECT_FALSE(IsStorableName(no)) << no;
}
