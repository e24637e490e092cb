#pragma once
// The one reader of numbers typed by a user, on the command line or in a form field, so that
// both front ends take the same texts.
#include <cstdint>
#include <optional>
#include <string_view>

namespace korvex {

// A whole number up to max, written out in full: decimal, or hexadecimal after 0x. Nothing for
// any other text (empty, signs, blanks, fractions, a value above max).
std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t max);

// A field's whole number: as ParseNumber, with blanks around it allowed.
std::optional<std::uint64_t> ParseFieldNumber(std::string_view text, std::uint64_t max);

// A size: a decimal fraction without sign or exponent, '.' or ',' as the separator, blanks
// around it allowed.
std::optional<float> ParseDecimal(std::string_view text);

}  // namespace korvex
