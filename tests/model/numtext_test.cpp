#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/numtext.h"

using namespace mw;

TEST(PlainNumber, ShortestFormUpToFifteenDigits) {
  EXPECT_EQ(PlainNumber(3), "3");
  EXPECT_EQ(PlainNumber(3.5), "3.5");
  EXPECT_EQ(PlainNumber(0.25), "0.25");
  EXPECT_EQ(PlainNumber(-2), "-2");
  EXPECT_EQ(PlainNumber(0), "0");
  EXPECT_EQ(PlainNumber(-0.0), "0");
  EXPECT_EQ(PlainNumber(3.66), "3.66");
  EXPECT_EQ(PlainNumber(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(PlainNumber(0.1 + 0.2), "0.3");  // 0.30000000000000004 at 17 digits
  EXPECT_EQ(PlainNumber(123456789012345.0), "123456789012345");
  EXPECT_EQ(PlainNumber(0.0001), "0.0001");
}

TEST(PlainNumber, ExponentFormAtTheExtremes) {
  EXPECT_EQ(PlainNumber(1e15), "1E+15");
  EXPECT_EQ(PlainNumber(123456789012345678.0), "1.23456789012346E+17");
  EXPECT_EQ(PlainNumber(0.00001), "1E-05");
  EXPECT_EQ(PlainNumber(-2.5e-7), "-2.5E-07");
  EXPECT_EQ(PlainNumber(1e300), "1E+300");
  // Whatever is written reads back as a number.
  for (double v : {1e15, 2.5e-7, 1e300, 1.0 / 3, 4.33})
    EXPECT_TRUE(TextToDouble(PlainNumber(v)).has_value()) << PlainNumber(v);
  EXPECT_EQ(*TextToDouble(PlainNumber(2.5e-7)), 2.5e-7);
}

TEST(FormatFixed, DecimalsAndRounding) {
  EXPECT_EQ(Format3(3), "3.0");
  EXPECT_EQ(Format3(0), "0.0");
  EXPECT_EQ(Format3(3.4567), "3.457");
  EXPECT_EQ(Format2(3.4567), "3.46");
  EXPECT_EQ(Format3(10.0 / 3), "3.333");
  EXPECT_EQ(Format2(11.0 / 3), "3.67");
  EXPECT_EQ(Format2(3.25), "3.25");
  EXPECT_EQ(Format2(4), "4.0");
  EXPECT_EQ(Format3(0.5), "0.5");
  EXPECT_EQ(Format2(-9.5), "-9.5");
  EXPECT_EQ(Format3(3.529411764705882), "3.529");
  // Carries across the decimal point.
  EXPECT_EQ(Format3(9.9996), "10.0");
  EXPECT_EQ(Format2(0.996), "1.0");
  // An exact half goes away from zero; a value stored just below a half goes down.
  EXPECT_EQ(Format3(2.0625), "2.063");
  EXPECT_EQ(Format3(-2.0625), "-2.063");
  EXPECT_EQ(Format2(2.675), "2.67");  // 2.675 is stored as 2.67499999...
  EXPECT_EQ(Format2(0.125), "0.13");
  // No negative zero.
  EXPECT_EQ(Format3(-0.0001), "0.0");
  EXPECT_EQ(Format2(-0.0), "0.0");
  EXPECT_EQ(Format3(1e20), "100000000000000000000.0");
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
  EXPECT_EQ(LeadingNumber("3 credits"), 3);
  EXPECT_EQ(LeadingNumber("  2.50"), 2.5);
  EXPECT_EQ(LeadingNumber("1 2\t3\n4"), 1234);  // blanks, tabs, line feeds ignored anywhere
  EXPECT_EQ(LeadingNumber("3.x"), 3);
  EXPECT_EQ(LeadingNumber("3.5.1"), 3.5);
  EXPECT_EQ(LeadingNumber("-2.5e1"), -25);
  EXPECT_EQ(LeadingNumber("1D2"), 100);
  EXPECT_EQ(LeadingNumber("3E"), 3);
  EXPECT_EQ(LeadingNumber("3e+"), 3);
  EXPECT_EQ(LeadingNumber(".5"), 0.5);
  EXPECT_EQ(LeadingNumber("&H1F"), 31);
  EXPECT_EQ(LeadingNumber("&hff"), 255);
  EXPECT_EQ(LeadingNumber("&O17"), 15);
  EXPECT_EQ(LeadingNumber("&O19"), 1);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("."), 0);
  EXPECT_EQ(LeadingNumber("1e999"), 0);
}

TEST(IsNumericText, WhatTheInputBoxesAccept) {
  for (const char* yes : {"3", "3.", "3.5", " 3 ", "-2", "+.5", "1E5", "1e-5", "2D3", "0"})
    EXPECT_TRUE(IsNumericText(yes)) << yes;
  for (const char* no : {"", " ", "3.x", ".", "-", "1E", "1e+", "3 5", "abc", "3.5.1", "1e999",
                         "&H10", "3,5"})
    EXPECT_FALSE(IsNumericText(no)) << no;
}

TEST(ToInt16, HalvesToEvenAndOverflowReported) {
  EXPECT_EQ(ToInt16(0.5), 0);
  EXPECT_EQ(ToInt16(1.5), 2);
  EXPECT_EQ(ToInt16(2.5), 2);
  EXPECT_EQ(ToInt16(-0.5), 0);
  EXPECT_EQ(ToInt16(-1.5), -2);
  EXPECT_EQ(ToInt16(2.4), 2);
  EXPECT_EQ(ToInt16(32767.4), 32767);
  EXPECT_EQ(ToInt16(-32768.5), -32768);
  EXPECT_FALSE(ToInt16(32767.5).has_value());
  EXPECT_FALSE(ToInt16(-32769).has_value());
  EXPECT_FALSE(ToInt16(std::nan("")).has_value());
  EXPECT_FALSE(ToInt16(std::numeric_limits<double>::infinity()).has_value());
}

TEST(TextConversions, StrictReadsForFilesAndSettings) {
  EXPECT_EQ(TextToInt16("12"), 12);
  EXPECT_EQ(TextToInt16("2.5"), 2);
  EXPECT_EQ(TextToInt16(" -1 "), -1);
  EXPECT_FALSE(TextToInt16("abc").has_value());
  EXPECT_FALSE(TextToInt16("40000").has_value());
  EXPECT_FALSE(TextToInt16("").has_value());
  EXPECT_EQ(TextToDouble("3.66"), 3.66);
  EXPECT_FALSE(TextToDouble("3.66x").has_value());
  EXPECT_EQ(TextToBool("True"), true);
  EXPECT_EQ(TextToBool("false"), false);
  EXPECT_EQ(TextToBool("-1"), true);
  EXPECT_EQ(TextToBool("0"), false);
  EXPECT_FALSE(TextToBool("yes").has_value());
}
