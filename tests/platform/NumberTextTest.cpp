// The one reader of typed whole numbers: what it takes and everything it turns away.
#include <gtest/gtest.h>

#include "platform/NumberText.h"

namespace korvex {
namespace {

TEST(NumberTextTest, DecimalAndHexadecimalUpToTheLimit) {
  EXPECT_EQ(ParseNumber("0", 10), 0u);
  EXPECT_EQ(ParseNumber("99", 99), 99u);
  EXPECT_EQ(ParseNumber("0x1F", 255), 31u);
  EXPECT_EQ(ParseNumber("0XfF", 255), 255u);
  EXPECT_EQ(ParseNumber("18446744073709551615", UINT64_MAX), UINT64_MAX);
}

TEST(NumberTextTest, AnythingButAWholeNumberWithinTheLimitIsRefused) {
  for (const char* text : {"", " 1", "1 ", "+1", "-1", "1.5", "1,5", "0x", "0xG", "12a", "x12"}) {
    EXPECT_FALSE(ParseNumber(text, UINT64_MAX)) << '"' << text << '"';
  }
  EXPECT_FALSE(ParseNumber("100", 99));
  EXPECT_FALSE(ParseNumber("0x100", 255));
  EXPECT_FALSE(ParseNumber("18446744073709551616", UINT64_MAX));  // one past 2^64 - 1
}

TEST(NumberTextTest, AFieldTakesBlanksAroundItsNumberButNothingElse) {
  EXPECT_EQ(ParseFieldNumber("  42 ", 99), 42u);
  EXPECT_EQ(ParseFieldNumber("0x10", 99), 16u);
  for (const char* text : {"", "   ", "4 2", "1,5", "+1", "100"}) {
    EXPECT_FALSE(ParseFieldNumber(text, 99)) << '"' << text << '"';
  }
}

TEST(NumberTextTest, ASizeTakesAPointOrACommaAndNoSignOrExponent) {
  EXPECT_EQ(ParseDecimal("1.5"), 1.5f);
  EXPECT_EQ(ParseDecimal("1,5"), 1.5f);
  EXPECT_EQ(ParseDecimal(" 20 "), 20.0f);
  EXPECT_EQ(ParseDecimal(",5"), 0.5f);
  for (const char* text : {"", " ", "-1", "+1", "1e3", "1.5.2", "1,5,2", "abc", "0x10", "1 5"}) {
    EXPECT_FALSE(ParseDecimal(text)) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace korvex
