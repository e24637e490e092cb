#pragma once
// Draws a text screen into pixels the way the VGA shows it: each cell's character (code page
// 437) in a console font, foreground and background from its attribute in the 16 text colours.
#include <array>
#include <cstdint>
#include <vector>

#include "textscreen/ConsoleFont.h"
#include "textscreen/TextScreen.h"

namespace korvex {

using RgbColour = std::array<std::uint8_t, 3>;
using TextPalette = std::array<RgbColour, kTextColours>;

// The VGA's 16 text colours (the palette of text mode 3).
extern const TextPalette kVgaTextPalette;

struct RgbImage {
  unsigned width = 0;
  unsigned height = 0;
  std::vector<std::uint8_t> pixels;  // red, green, blue per pixel; rows from the top
};

// 80 × 25 cells of the font's size (640 × 400 with a VGA 8 × 16 font). The attribute's high bit
// (blinking) is drawn steady. A character the font has no glyph for shows as a box outline in
// the foreground colour, so that it is seen to be missing.
RgbImage RasterizeTextScreen(const TextScreen& screen, const ConsoleFont& font,
                             const TextPalette& palette = kVgaTextPalette);

}  // namespace korvex
