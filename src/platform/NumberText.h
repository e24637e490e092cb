#pragma once
// The one reader of whole numbers typed by a user, on the command line or in a form field.
#include <cstdint>
#include <optional>
#include <string_view>

namespace korvex {

// A whole number up to max, written out in full: decimal, or hexadecimal after 0x. Nothing for
// any other text (empty, signs, blanks, fractions, a value above max).
std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t max);

}  // namespace korvex
