#include "cli/ArgumentValues.h"

namespace korvex {

std::optional<ChsAddress> ParseChs(const std::string& text) {
  const size_t slash1 = text.find('/');
  const size_t slash2 = slash1 == std::string::npos ? std::string::npos : text.find('/', slash1 + 1);
  if (slash2 == std::string::npos) return std::nullopt;
  const auto cylinder = ParseFieldNumber(text.substr(0, slash1), UINT16_MAX);
  const auto head = ParseFieldNumber(text.substr(slash1 + 1, slash2 - slash1 - 1), UINT8_MAX);
  const auto sector = ParseFieldNumber(text.substr(slash2 + 1), UINT8_MAX);
  if (!cylinder || !head || !sector) return std::nullopt;
  return ChsAddress{static_cast<std::uint16_t>(*cylinder), static_cast<std::uint8_t>(*head),
                    static_cast<std::uint8_t>(*sector)};
}

std::string FormatChs(const ChsAddress& chs) {
  return std::to_string(chs.cylinder) + "/" + std::to_string(chs.head) + "/" + std::to_string(chs.sector);
}

}  // namespace korvex
