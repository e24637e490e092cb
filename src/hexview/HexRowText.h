#pragma once
// The text of the hex sector view ("Sektoransicht"): the address of a row, its bytes as hex
// digit pairs and as characters. The view's model paints rows and fills the clipboard's text
// with these; `korvex-cli sector` prints the same rows.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace korvex {

// A byte of the character column: itself when it is a printable ASCII character (20h..7Eh),
// else ".". Plain ASCII, so the column reads the same in every locale and terminal.
char HexCharacter(std::uint8_t byte);

// Each byte as two uppercase hex digits followed by a blank ("41 00 ").
std::string HexDigitPairs(std::span<const std::uint8_t> bytes);

// Each byte as its character-column character.
std::string HexCharacters(std::span<const std::uint8_t> bytes);

struct HexRowText {
  std::string address;     // "%08lX" of the row's first offset ("%04lX" for narrow addresses)
  std::string hex;         // rowWidth × 3 characters, blanks where a short last row ends
  std::string characters;  // one character per byte of the row
};

// The row of data that begins at offset rowStart (a row holds rowWidth bytes, fewer at the end).
HexRowText FormatHexRow(std::span<const std::uint8_t> data, std::size_t rowStart, std::size_t rowWidth,
                        bool wideAddress);

}  // namespace korvex
