#pragma once
// The Linux console's bitmap fonts (PC Screen Font, PSF1 and PSF2, optionally gzip-compressed)
// with their Unicode tables, read by our own loader. Debian's console-setup-linux ships the VGA
// 8 × 16 fonts the boot menu preview draws with.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvex {

class ConsoleFont {
 public:
  ConsoleFont(unsigned width, unsigned height, std::vector<std::uint8_t> bitmaps,
              std::unordered_map<char32_t, std::uint32_t> glyphOf);

  unsigned Width() const { return width_; }
  unsigned Height() const { return height_; }
  std::size_t GlyphCount() const { return bitmaps_.size() / GlyphBytes(); }
  // The glyph the Unicode table names for a character; nothing when the font has none.
  std::optional<std::uint32_t> GlyphFor(char32_t character) const;
  // Whether the pixel at x (0 = left), y (0 = top) of glyph is set.
  bool Pixel(std::uint32_t glyph, unsigned x, unsigned y) const;
  // Takes over the glyphs of other (a font of the same cell size) for the characters this font
  // has none for.
  void AddMissingGlyphs(const ConsoleFont& other);

 private:
  std::size_t GlyphBytes() const { return std::size_t{height_} * ((width_ + 7) / 8); }

  unsigned width_;
  unsigned height_;
  std::vector<std::uint8_t> bitmaps_;  // glyph after glyph, row after row, rows padded to bytes
  std::unordered_map<char32_t, std::uint32_t> glyphOf_;
};

struct FontResult {
  std::optional<ConsoleFont> font;
  std::string error;  // the message to show when there is no font
};

// A font from the bytes of a PSF1 or PSF2 file (not compressed); source names it in messages.
// A font without a Unicode table is refused: its glyphs could not be found by character.
FontResult ParseConsoleFont(std::span<const std::uint8_t> bytes, std::string_view source);

// A font from a .psf file or a gzip-compressed .psf.gz file.
FontResult LoadConsoleFont(const std::string& path);

// The boot menu preview's font: the first installed VGA 8 × 16 font that draws the double frame
// lines as the VGA does, completed by the glyphs of a Western European one (å, ò, ...). A
// message when none is installed or one is damaged.
FontResult LoadPreviewFont();

}  // namespace korvex
