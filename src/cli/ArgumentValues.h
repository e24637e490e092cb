#pragma once
// Values of command options: numbers, partition types, CHS addresses and sizes. Each returns
// nothing for text that is not exactly such a value.
#include <cstdint>
#include <optional>
#include <string>

#include "disk/CPhysicalDrive.h"

namespace korvex {

// A whole number up to max, decimal or hexadecimal with 0x.
std::optional<std::uint64_t> ParseNumber(const std::string& text, std::uint64_t max);
// "CYLINDER/HEAD/SECTOR", each within its field's width (16, 8 and 8 bits).
std::optional<ChsAddress> ParseChs(const std::string& text);
// A decimal fraction with '.' or ',' as the separator.
std::optional<float> ParseDecimal(const std::string& text);
std::string FormatChs(const ChsAddress& chs);

}  // namespace korvex
