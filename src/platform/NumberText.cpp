#include "platform/NumberText.h"

#include <charconv>

namespace korvex {

std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t max) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
  if (first == last || error != std::errc() || end != last || value > max) return std::nullopt;
  return value;
}

}  // namespace korvex
