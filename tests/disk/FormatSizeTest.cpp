// Size texts: the unit rule and the locale's decimal separator.
#include <gtest/gtest.h>

#include <clocale>

#include "disk/FormatSize.h"

namespace korvex {
namespace {

constexpr std::uint64_t kGiB = 1ull << 30;
constexpr std::uint64_t kTiB = 1ull << 40;

TEST(FormatSizeTest, PicksTheLargestUnitWhoseValueIsAtLeastOne) {
  EXPECT_EQ(FormatSize(512), "0.50 kB");
  EXPECT_EQ(FormatSize(0), "0.00 kB");
  EXPECT_EQ(FormatSize(1024), "1.00 kB");
  EXPECT_EQ(FormatSize(1536ull << 20), "1.50 GB");
  EXPECT_EQ(FormatSize(10ull << 20), "10.00 MB");
  // Exactly one unit is that unit, not 1024 of the one below.
  EXPECT_EQ(FormatSize(kGiB), "1.00 GB");
  EXPECT_EQ(FormatSize(kTiB), "1.00 TB");
  // 1000 MB is 0.98 GB: it stays in MB.
  EXPECT_EQ(FormatSize(1048576000ull), "1000.00 MB");
  EXPECT_EQ(FormatSize(1023ull * kGiB), "1023.00 GB");
  // The largest disk an MBR can address, and its last sector short of it.
  EXPECT_EQ(FormatSize(2 * kTiB), "2.00 TB");
  EXPECT_EQ(FormatSize((2 * kTiB) - 512), "2.00 TB");
}

TEST(FormatSizeTest, PartsInAGivenUnit) {
  const SizeInUnit mb = SizeParts(3ull << 20, SizeUnit::MB);
  EXPECT_FLOAT_EQ(mb.value, 3.0f);
  EXPECT_EQ(mb.unitText, "MB");
  EXPECT_EQ(SizeParts(3 * kGiB).unit, SizeUnit::GB);
  const SizeInUnit tb = SizeParts(3 * kTiB / 2);
  EXPECT_EQ(tb.unit, SizeUnit::TB);
  EXPECT_FLOAT_EQ(tb.value, 1.5f);
  EXPECT_EQ(tb.unitText, "TB");
}

TEST(FormatSizeTest, UsesTheDecimalSeparatorOfTheLocale) {
  const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  ASSERT_NE(german, nullptr) << "the de_DE.UTF-8 locale is installed by scripts/install-deps.sh";
  EXPECT_EQ(FormatSize(1536ull << 20), "1,50 GB");
  EXPECT_EQ(FormatSize(kGiB), "1,00 GB");
  EXPECT_EQ(FormatSize(1048576000ull), "1000,00 MB");
  EXPECT_EQ(FormatSize(kTiB), "1,00 TB");
  EXPECT_EQ(FormatSize(2 * kTiB), "2,00 TB");
  EXPECT_EQ(FormatSize(512), "0,50 kB");
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
}  // namespace korvex
