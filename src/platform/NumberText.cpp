#include "platform/NumberText.h"

#include <charconv>
#include <string>

namespace korvex {
namespace {

std::string_view WithoutBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t max) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
  if (first == last || error != std::errc() || end != last || value > max) return std::nullopt;
  return value;
}

std::optional<std::uint64_t> ParseFieldNumber(std::string_view text, std::uint64_t max) {
  return ParseNumber(WithoutBlanks(text), max);
}

std::optional<float> ParseDecimal(std::string_view text) {
  std::string decimal(WithoutBlanks(text));
  for (char& c : decimal) {
    if (c == ',') c = '.';
  }
  // from_chars takes a leading minus; a size never has one.
  if (decimal.empty() || decimal.front() == '-') return std::nullopt;
  float value = 0;
  const char* last = decimal.data() + decimal.size();
  const auto [end, error] = std::from_chars(decimal.data(), last, value, std::chars_format::fixed);
  if (error != std::errc() || end != last) return std::nullopt;
  return value;
}

}  // namespace korvex
