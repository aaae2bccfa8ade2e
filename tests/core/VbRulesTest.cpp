#include <gtest/gtest.h>

#include <cmath>

#include "VbRules.h"

namespace {

TEST(VbRules, ValReadsTheNumberPrefix) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"", 0},          {"abc", 0},        {"12abc", 12},       {"  1 2 3", 123},
      {"\t-4.5x", -4.5}, {"+7", 7},        {".5", 0.5},         {"1.2.3", 1.2},
      {"1,000", 1},     {"1e3", 1000},     {"2D2", 200},        {"1e", 1},
      {"1e+", 1},       {"-", 0},          {"&HFF", 255},       {"&HFFFF", -1},
      {"&H10000", 65536}, {"&HFFFFFFFF", -1}, {"&O17", 15},     {"&17", 15},
      {"&HZ", 0},       {"3 . 5", 3.5},    {"0x10", 0},         {"99999999999", 99999999999.0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(vb::Val(c.text), c.value) << '"' << c.text << '"';
}

TEST(VbRules, RoundingTakesHalvesToEven) {
  struct Case {
    double in, out;
  } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
               {2.4999, 2}, {2.5001, 3}, {1e9 + 0.5, 1e9}, {7, 7}};
  for (const Case& c : cases) EXPECT_EQ(vb::RoundHalfEven(c.in), c.out) << c.in;
}

TEST(VbRules, IntegerConversionsStayInTheirRange) {
  EXPECT_EQ(vb::CInt(32767.4), int16_t{32767});
  EXPECT_EQ(vb::CInt(-32768.5), int16_t{-32768});  // half to even stays in range
  EXPECT_FALSE(vb::CInt(32767.5));                  // rounds to 32768
  EXPECT_FALSE(vb::CInt(-32769));
  EXPECT_FALSE(vb::CInt(NAN));
  EXPECT_EQ(vb::CLng(2147483647.0), 2147483647);
  EXPECT_FALSE(vb::CLng(2147483648.0));
  EXPECT_EQ(vb::ParseInt16(" 42 "), int16_t{42});
  for (const char* bad : {"", "4a", "40000", "1.2.3", "inf", "nan", "0x10", "&H10"})
    EXPECT_FALSE(vb::ParseInt16(bad)) << bad;
  EXPECT_EQ(vb::ParseInt32("-100000"), -100000);
}

TEST(VbRules, BooleanTexts) {
  EXPECT_STREQ(vb::BoolText(true), "True");
  EXPECT_STREQ(vb::BoolText(false), "False");
  struct Case {
    const char* text;
    std::optional<bool> value;
  } cases[] = {{"True", true}, {"false", false}, {" TRUE ", true}, {"-1", true}, {"0", false},
               {"2", true},    {"yes", std::nullopt}, {"", std::nullopt}, {"Tru", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(vb::ParseBool(c.text), c.value) << c.text;
}

TEST(VbRules, StrAndCStrOfNumbers) {
  struct Case {
    double value;
    const char* str;
    const char* cstr;
  } cases[] = {{3, " 3", "3"},         {-2.5, "-2.5", "-2.5"},   {0.5, " .5", "0.5"},
               {-0.25, "-.25", "-0.25"}, {0, " 0", "0"},         {1e15, " 1E+15", "1E+15"},
               {123456789012345.0, " 123456789012345", "123456789012345"},
               {1.0 / 3, " .333333333333333", "0.333333333333333"}};
  // The tests run in a locale with "." as its decimal separator.
  ASSERT_EQ(vb::DecimalSeparator(), '.');
  for (const Case& c : cases) {
    EXPECT_EQ(vb::Str(c.value), c.str) << c.value;
    EXPECT_EQ(vb::CStr(c.value), c.cstr) << c.value;
  }
}

TEST(VbRules, NumberTextsGroupThousandsThroughTheLocale) {
  EXPECT_EQ(vb::FormatNumber(1234567, 2), "1,234,567.00");
  EXPECT_EQ(vb::FormatNumber(1234567.891, 0), "1,234,568");
  EXPECT_EQ(vb::FormatNumber(999, 1), "999.0");
  EXPECT_EQ(vb::FormatNumber(-1234.5, 1), "-1,234.5");
  EXPECT_EQ(vb::FormatNumber(1234567, 0, false), "1234567");
  EXPECT_EQ(vb::CDbl("12.75"), 12.75);
  EXPECT_FALSE(vb::CDbl("12,7x"));
}

TEST(VbRules, DatesRoundTripThroughTheirTexts) {
  // 10 December 2026 13:45:30
  const vb::Date when = 46366 + (13 * 3600 + 45 * 60 + 30) / 86400.0;
  std::string text = vb::CStrDate(when);
  auto back = vb::CDate(text);
  ASSERT_TRUE(back) << text;
  EXPECT_NEAR(*back, when, 1.0 / 86400 / 2);
  EXPECT_EQ(vb::CStrDate(46366), vb::FormatShortDate(46366));  // no time part shown
  EXPECT_FALSE(vb::CDate("not a date"));
  EXPECT_GT(vb::Now(), 46000);
}

TEST(VbRules, CaseFollowsTheCodePage) {
  EXPECT_EQ(vb::UCase("c:\\Program Files\\a.exe"), "C:\\PROGRAM FILES\\A.EXE");
  EXPECT_EQ(vb::LCase("C:\\WINDOWS\\Notepad.EXE"), "c:\\windows\\notepad.exe");
  EXPECT_EQ(vb::LCase("\xC9T\xC9"), "\xE9t\xE9");  // accented letters of the ANSI code page
  EXPECT_EQ(vb::UCase(""), "");
}

TEST(VbRules, TwipsAtTheScreenResolution) {
  EXPECT_EQ(vb::TwipsPerPixelX(), 15);  // 96 dpi
  EXPECT_EQ(vb::PixelsToTwipsY(10), 150);
  EXPECT_EQ(vb::TwipsToPixelsX(1500), 100);
}

}  // namespace
