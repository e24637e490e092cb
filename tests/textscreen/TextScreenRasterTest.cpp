// Text cells into pixels and a PNG file: colours from the attribute, glyphs by code page 437,
// the box of a missing glyph, and the PNG's bytes read back with zlib.
#include "textscreen/TextScreenRaster.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>

#include "support/TempDir.h"
#include "textscreen/PngFile.h"

namespace korvex {
namespace {

// A 4 × 4 font: glyph 0 blank, glyph 1 (for "A" and for U+263A, the picture of byte 01h) with
// only its top-left pixel set.
ConsoleFont TinyFont() {
  return ConsoleFont(4, 4, {0, 0, 0, 0, 0x80, 0, 0, 0}, {{U' ', 0}, {U'A', 1}, {U'\u263A', 1}});
}

RgbColour PixelAt(const RgbImage& image, unsigned x, unsigned y) {
  const std::size_t at = (std::size_t{y} * image.width + x) * 3;
  return {image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
}

TEST(TextScreenRaster, CellsBecomeGlyphsInTheirColours) {
  TextScreen screen;
  const std::uint8_t text[] = {'A', 0x01, 'Z'};
  screen.Write(1, 79, std::span<const std::uint8_t>(text, 2), 0x1E);  // wraps into row 2 like the BIOS
  screen.Write(3, 0, std::span<const std::uint8_t>(text + 2, 1), 0x9C);  // blinking: background stays 1
  const RgbImage image = RasterizeTextScreen(screen, TinyFont());
  ASSERT_EQ(image.width, 320u);
  ASSERT_EQ(image.height, 100u);
  const RgbColour yellow = kVgaTextPalette[14], blue = kVgaTextPalette[1], black = kVgaTextPalette[0];
  EXPECT_EQ(PixelAt(image, 79 * 4, 4), yellow);      // "A" at row 1, column 79
  EXPECT_EQ(PixelAt(image, 79 * 4 + 1, 4), blue);
  EXPECT_EQ(PixelAt(image, 0, 8), yellow);           // byte 01h drawn with the smiley's glyph
  EXPECT_EQ(PixelAt(image, 0, 0), black);            // a cleared cell
  // "Z" has no glyph: a box one pixel in from the cell's edge, in the foreground colour.
  EXPECT_EQ(PixelAt(image, 1, 13), kVgaTextPalette[12]);
  EXPECT_EQ(PixelAt(image, 0, 12), blue);
  EXPECT_EQ(kVgaTextPalette[7], (RgbColour{0xAA, 0xAA, 0xAA}));  // light grey is brighter than grey (8)
  EXPECT_EQ(kVgaTextPalette[8], (RgbColour{0x55, 0x55, 0x55}));
}

std::uint32_t Be32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
         bytes[at + 3];
}

TEST(PngFile, WritesWhatAReaderDecodes) {
  RgbImage image{3, 2, {}};
  for (std::uint8_t value = 0; value < 18; ++value) image.pixels.push_back(value);
  test::TempDir dir;
  ASSERT_FALSE(WritePng(dir.File("picture.png"), image));
  std::ifstream file(dir.File("picture.png"), std::ios::binary);
  const std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GT(png.size(), 57u);
  EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
            (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
  EXPECT_EQ(Be32(png, 16), 3u);
  EXPECT_EQ(Be32(png, 20), 2u);
  EXPECT_EQ(png[24], 8);  // bits a channel
  EXPECT_EQ(png[25], 2);  // RGB
  EXPECT_EQ(Be32(png, 29), crc32(0, png.data() + 12, 17));
  // IDAT: each row behind its filter byte 0.
  const std::size_t idat = 33;
  ASSERT_EQ(std::string(png.begin() + idat + 4, png.begin() + idat + 8), "IDAT");
  std::vector<std::uint8_t> raw(2 * (1 + 9));
  uLongf rawSize = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &rawSize, png.data() + idat + 8, Be32(png, idat)), Z_OK);
  EXPECT_EQ(raw, (std::vector<std::uint8_t>{0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 9, 10, 11, 12, 13, 14, 15, 16, 17}));
  EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");

  const auto error = WritePng(dir.File("no-such-folder/picture.png"), image);
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("no-such-folder/picture.png"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("no-such-folder")));
}

}  // namespace
}  // namespace korvex
