#include "textscreen/TextScreenRaster.h"

#include "platform/Cp437.h"

namespace korvex {

const TextPalette kVgaTextPalette = {{
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0xAA}, {0x00, 0xAA, 0x00}, {0x00, 0xAA, 0xAA},
    {0xAA, 0x00, 0x00}, {0xAA, 0x00, 0xAA}, {0xAA, 0x55, 0x00}, {0xAA, 0xAA, 0xAA},
    {0x55, 0x55, 0x55}, {0x55, 0x55, 0xFF}, {0x55, 0xFF, 0x55}, {0x55, 0xFF, 0xFF},
    {0xFF, 0x55, 0x55}, {0xFF, 0x55, 0xFF}, {0xFF, 0xFF, 0x55}, {0xFF, 0xFF, 0xFF},
}};

namespace {

// The outline drawn for a missing glyph: the cell's border, one pixel in.
bool MissingGlyphPixel(unsigned x, unsigned y, unsigned width, unsigned height) {
  const bool inside = x >= 1 && y >= 1 && x + 2 <= width && y + 2 <= height;
  return inside && (x == 1 || y == 1 || x + 2 == width || y + 2 == height);
}

}  // namespace

RgbImage RasterizeTextScreen(const TextScreen& screen, const ConsoleFont& font, const TextPalette& palette) {
  const unsigned cellWidth = font.Width();
  const unsigned cellHeight = font.Height();
  RgbImage image;
  image.width = kTextColumns * cellWidth;
  image.height = kTextRows * cellHeight;
  image.pixels.resize(std::size_t{image.width} * image.height * 3);
  // Every byte's glyph, looked up once.
  std::array<std::optional<std::uint32_t>, 256> glyphOf;
  for (unsigned byte = 0; byte < glyphOf.size(); ++byte) {
    glyphOf[byte] = font.GlyphFor(Cp437Glyph(static_cast<std::uint8_t>(byte)));
  }
  for (unsigned row = 0; row < kTextRows; ++row) {
    for (unsigned column = 0; column < kTextColumns; ++column) {
      const TextCell& cell = screen.At(row, column);
      const TextColour colour = ColourOf(cell.attribute);
      const RgbColour& foreground = palette[colour.foreground];
      const RgbColour& background = palette[colour.background % kBackgroundColours];  // blinking drawn steady
      const auto& glyph = glyphOf[cell.character];
      for (unsigned y = 0; y < cellHeight; ++y) {
        std::uint8_t* pixel =
            &image.pixels[((std::size_t{row} * cellHeight + y) * image.width + std::size_t{column} * cellWidth) * 3];
        for (unsigned x = 0; x < cellWidth; ++x, pixel += 3) {
          const bool set = glyph ? font.Pixel(*glyph, x, y) : MissingGlyphPixel(x, y, cellWidth, cellHeight);
          const RgbColour& colour = set ? foreground : background;
          std::copy(colour.begin(), colour.end(), pixel);
        }
      }
    }
  }
  return image;
}

}  // namespace korvex
