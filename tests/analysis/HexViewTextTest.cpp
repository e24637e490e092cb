// The hex view's rows: addresses, two hex digits and a blank per byte, characters.
#include "analysis/HexViewText.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>
#include <vector>

namespace korvex {
namespace {

TEST(HexViewText, ASectorHas32RowsOfAddressHexAndCharacters) {
  std::vector<std::uint8_t> sector(512);
  std::iota(sector.begin(), sector.end(), std::uint8_t{0});  // 00..FF twice
  std::istringstream text(HexViewText(sector));
  std::vector<std::string> rows;
  for (std::string row; std::getline(text, row);) rows.push_back(row);
  ASSERT_EQ(rows.size(), 32u);
  EXPECT_EQ(rows[0], "00000000 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ................");
  EXPECT_EQ(rows[4], "00000040 40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F @ABCDEFGHIJKLMNO");
  EXPECT_EQ(rows[7], "00000070 70 71 72 73 74 75 76 77 78 79 7A 7B 7C 7D 7E 7F pqrstuvwxyz{|}~.");
  EXPECT_EQ(rows[31].substr(0, 9), "000001F0 ");
  EXPECT_EQ(rows[31].substr(57), "................");  // F0..FF are no ASCII characters
}

TEST(HexViewText, AShortLastRowKeepsTheCharacterColumnInPlace) {
  const std::vector<std::uint8_t> bytes = {'K', 'o', 'r', 'v', 'e', 'x', 0, 0x0A, 0xFF, 'A', 'B', 'C', 'D', 'E',
                                           'F', 'G', 'H', 'I', 0x20, '!'};
  EXPECT_EQ(HexViewRow(bytes, 16, HexViewLayout{16, false}), "0010 48 49 20 21 " + std::string(12 * 3, ' ') + "HI !");
}

}  // namespace
}  // namespace korvex
