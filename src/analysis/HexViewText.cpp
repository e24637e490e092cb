#include "analysis/HexViewText.h"

#include <algorithm>

#include "platform/StringFormat.h"

namespace korvex {

char HexViewCharacter(std::uint8_t byte) { return byte >= 0x20 && byte <= 0x7E ? static_cast<char>(byte) : '.'; }

std::string HexViewRow(std::span<const std::uint8_t> data, std::size_t rowStart, const HexViewLayout& layout) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const std::size_t width = std::max<std::size_t>(layout.rowWidth, 1);
  const std::size_t begin = std::min(rowStart, data.size());
  const auto row = data.subspan(begin, std::min(width, data.size() - begin));
  std::string text = StrFormat(layout.wideAddress ? "%08lX " : "%04lX ", static_cast<unsigned long>(rowStart));
  for (std::size_t i = 0; i < width; ++i) {
    if (i < row.size()) {
      text += kDigits[row[i] >> 4];
      text += kDigits[row[i] & 0x0F];
      text += ' ';
    } else {
      text += "   ";
    }
  }
  for (const std::uint8_t byte : row) text += HexViewCharacter(byte);
  return text;
}

std::string HexViewText(std::span<const std::uint8_t> data, const HexViewLayout& layout) {
  const std::size_t width = std::max<std::size_t>(layout.rowWidth, 1);
  std::string text;
  for (std::size_t start = 0; start < data.size(); start += width) text += HexViewRow(data, start, layout) + "\n";
  return text;
}

}  // namespace korvex
