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
