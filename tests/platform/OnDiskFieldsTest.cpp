// The one reader and writer of little-endian fields and fixed texts: byte order, and that no
// field reaches past its bytes (untrusted records are decoded with it).
#include <gtest/gtest.h>

#include <array>

#include "platform/OnDiskFields.h"

namespace korvex {
namespace {

TEST(OnDiskFieldsTest, NumbersAreReadAndWrittenLowByteFirst) {
  std::array<std::uint8_t, 10> bytes{};
  ASSERT_TRUE(WriteLe64(bytes, 1, 0x0807060504030201));
  EXPECT_EQ(bytes[1], 0x01);
  EXPECT_EQ(bytes[8], 0x08);
  EXPECT_EQ(ReadLe16(bytes, 1), 0x0201);
  EXPECT_EQ(ReadLe32(bytes, 2), 0x05040302u);
  EXPECT_EQ(ReadLe64(bytes, 1), 0x0807060504030201u);
  ASSERT_TRUE(WriteLe32(bytes, 0xAABBCCDD));  // at the start
  EXPECT_EQ(ReadLe32(bytes), 0xAABBCCDDu);
}

TEST(OnDiskFieldsTest, AFieldOutsideTheBytesReadsAsZeroAndIsNotWritten) {
  std::array<std::uint8_t, 6> bytes{1, 2, 3, 4, 5, 6};
  EXPECT_EQ(ReadLe32(bytes, 3), 0u);  // would need byte 6
  EXPECT_EQ(ReadLe16(bytes, 4), 0x0605);
  EXPECT_EQ(ReadLe64(bytes, 0), 0u);
  EXPECT_EQ(ReadLe16(bytes, SIZE_MAX), 0);  // no wrap-around of offset + width
  EXPECT_FALSE(WriteLe32(bytes, 3, 0xFFFFFFFF));
  EXPECT_FALSE(WriteLe16(bytes, SIZE_MAX - 1, 0xFFFF));
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 6>{1, 2, 3, 4, 5, 6}));
}

TEST(OnDiskFieldsTest, TextsStopAtTheirFieldZeroOrEnd) {
  const std::array<std::uint8_t, 8> bytes{'N', 'T', 'F', 'S', ' ', ' ', 0, 'x'};
  EXPECT_TRUE(HasTextAt(bytes, 0, "NTFS  "));
  EXPECT_FALSE(HasTextAt(bytes, 4, std::string_view("  \0xy", 5)));  // longer than what is left
  EXPECT_EQ(FixedText(bytes, 0, 8), "NTFS");
  EXPECT_EQ(FixedText(bytes, 7, 4), "x");
  EXPECT_EQ(FixedText(bytes, 9, 4), "");
}

}  // namespace
}  // namespace korvex
