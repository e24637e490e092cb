#pragma once
// The text of the hex view ("Sektoransicht"): per row the address of its first byte, each byte
// as two hex digits and a blank, and the bytes as characters. The window draws these rows; the
// command line prints them.
#include <cstdint>
#include <span>
#include <string>

namespace korvex {

struct HexViewLayout {
  std::size_t rowWidth = 16;  // bytes per row
  bool wideAddress = true;    // 8 address digits, else 4
};

// A byte of the character column: itself when it is a printable ASCII character (20h..7Eh),
// else ".". Plain ASCII, so the column reads the same in every locale and terminal.
char HexViewCharacter(std::uint8_t byte);

// The row that begins at offset rowStart: "%08lX" (or "%04lX"), one blank, the hex column
// (row width × 3 characters, blanks where a short last row ends), the character column.
std::string HexViewRow(std::span<const std::uint8_t> data, std::size_t rowStart, const HexViewLayout& layout = {});

// Every row, each ended by a line break.
std::string HexViewText(std::span<const std::uint8_t> data, const HexViewLayout& layout = {});

}  // namespace korvex
