#pragma once
// Values of command options: CHS addresses (numbers and sizes: platform/NumberText.h). Each returns
// nothing for text that is not exactly such a value.
#include <cstdint>
#include <optional>
#include <string>

#include "disk/CPhysicalDrive.h"
#include "platform/NumberText.h"

namespace korvex {

// "CYLINDER/HEAD/SECTOR", each within its field's width (16, 8 and 8 bits).
std::optional<ChsAddress> ParseChs(const std::string& text);
std::string FormatChs(const ChsAddress& chs);

}  // namespace korvex
