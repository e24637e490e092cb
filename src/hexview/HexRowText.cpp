#include "hexview/HexRowText.h"

#include <algorithm>

#include "platform/StringFormat.h"

namespace korvex {

char HexCharacter(std::uint8_t byte) { return byte >= 0x20 && byte <= 0x7E ? static_cast<char>(byte) : '.'; }

std::string HexDigitPairs(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (const std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
    text += ' ';
  }
  return text;
}

std::string HexCharacters(std::span<const std::uint8_t> bytes) {
  std::string text(bytes.size(), '.');
  std::transform(bytes.begin(), bytes.end(), text.begin(), HexCharacter);
  return text;
}

HexRowText FormatHexRow(std::span<const std::uint8_t> data, std::size_t rowStart, std::size_t rowWidth,
                        bool wideAddress) {
  const std::size_t begin = std::min(rowStart, data.size());
  const auto row = data.subspan(begin, std::min(rowWidth, data.size() - begin));
  HexRowText text;
  text.address = StrFormat(wideAddress ? "%08lX" : "%04lX", static_cast<unsigned long>(rowStart));
  text.hex = HexDigitPairs(row);
  text.hex.resize(rowWidth * 3, ' ');
  text.characters = HexCharacters(row);
  return text;
}

}  // namespace korvex
