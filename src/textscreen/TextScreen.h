#pragma once
// An 80 × 25 colour text screen as the VGA holds it: per cell a code page 437 character and an
// attribute byte (background in the high nibble, foreground in the low nibble).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace korvex {

inline constexpr unsigned kTextColumns = 80;
inline constexpr unsigned kTextRows = 25;
// What setting the text mode leaves in every cell: a blank, light grey on black.
inline constexpr std::uint8_t kClearedAttribute = 0x07;

// The 16 text colours serve as foregrounds; a background takes the first 8, as bit 7 of an
// attribute makes the cell blink.
inline constexpr unsigned kTextColours = 16;
inline constexpr unsigned kBackgroundColours = 8;

// The two colours of an attribute byte.
struct TextColour {
  std::uint8_t foreground = 0;
  std::uint8_t background = 0;  // the whole high nibble, the blink bit included
  bool operator==(const TextColour&) const = default;
};

constexpr std::uint8_t AttributeOf(const TextColour& colour) {
  return static_cast<std::uint8_t>(colour.background << 4 | colour.foreground);
}
constexpr TextColour ColourOf(std::uint8_t attribute) {
  return TextColour{static_cast<std::uint8_t>(attribute & 0x0F), static_cast<std::uint8_t>(attribute >> 4)};
}
// Both colours are ones the text mode shows as such: no blinking background.
constexpr bool IsSteadyColour(const TextColour& colour) {
  return colour.foreground < kTextColours && colour.background < kBackgroundColours;
}

struct TextCell {
  std::uint8_t character = ' ';
  std::uint8_t attribute = kClearedAttribute;
  bool operator==(const TextCell&) const = default;
};

class TextScreen {
 public:
  const TextCell& At(unsigned row, unsigned column) const { return cells_[row * kTextColumns + column]; }
  TextCell& At(unsigned row, unsigned column) { return cells_[row * kTextColumns + column]; }

  // Writes characters from row, column on in one attribute; like the BIOS, a text that passes
  // the last column goes on in the next row. Nothing is written past the last cell.
  void Write(unsigned row, unsigned column, std::span<const std::uint8_t> characters, std::uint8_t attribute) {
    std::size_t cell = std::size_t{row} * kTextColumns + column;
    for (const std::uint8_t character : characters) {
      if (cell >= cells_.size()) return;
      cells_[cell++] = TextCell{character, attribute};
    }
  }

  bool operator==(const TextScreen&) const = default;

 private:
  std::array<TextCell, kTextColumns * kTextRows> cells_{};
};

}  // namespace korvex
