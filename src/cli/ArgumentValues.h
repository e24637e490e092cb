#pragma once
// Values of command options: CHS addresses and sizes (whole numbers: platform/NumberText.h). Each returns
// nothing for text that is not exactly such a value.
#include <cstdint>
#include <optional>
#include <string>

#include "disk/CPhysicalDrive.h"
#include "platform/NumberText.h"

namespace korvex {

// "CYLINDER/HEAD/SECTOR", each within its field's width (16, 8 and 8 bits).
std::optional<ChsAddress> ParseChs(const std::string& text);
// A decimal fraction with '.' or ',' as the separator.
std::optional<float> ParseDecimal(const std::string& text);
std::string FormatChs(const ChsAddress& chs);

}  // namespace korvex
