// Size texts: the unit rule and the locale's decimal separator.
#include <gtest/gtest.h>

#include <clocale>

#include "disk/FormatSize.h"

namespace korvex {
namespace {

TEST(FormatSizeTest, PicksTheFirstUnitBetweenOneAndAThousand) {
  EXPECT_EQ(FormatSize(512), "0.50 kB");
  EXPECT_EQ(FormatSize(1536ull << 20), "1.50 GB");
  EXPECT_EQ(FormatSize(10ull << 20), "10.00 MB");
  // 1000 MB is 0.98 GB (not above 1) and 1000 MB (not below 1000): shown in kB.
  EXPECT_EQ(FormatSize(1048576000ull), "1024000.00 kB");
  // Exactly 1 GB is not above 1 GB and 1024 MB is not below 1000.
  EXPECT_EQ(FormatSize(1ull << 30), "1048576.00 kB");
}

TEST(FormatSizeTest, PartsInAGivenUnit) {
  const SizeInUnit mb = SizeParts(3ull << 20, SizeUnit::MB);
  EXPECT_FLOAT_EQ(mb.value, 3.0f);
  EXPECT_EQ(mb.unitText, "MB");
  const SizeInUnit automatic = SizeParts(3ull << 30);
  EXPECT_EQ(automatic.unit, SizeUnit::GB);
}

TEST(FormatSizeTest, UsesTheDecimalSeparatorOfTheLocale) {
  const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  ASSERT_NE(german, nullptr) << "the de_DE.UTF-8 locale is installed by scripts/install-deps.sh";
  EXPECT_EQ(FormatSize(1536ull << 20), "1,50 GB");
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
}  // namespace korvex
