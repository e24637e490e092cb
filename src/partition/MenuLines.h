#pragma once
// The boot menu's screen lines in the engine area, from line 5 on: one line per menu title —
// the frame character, two blanks, the 40-character title, three blanks, the frame character —
// then the bottom border and the end of the list. A save writes them from the menu entries and
// reading a disk takes the titles back from them; the boot menu preview draws them for an order
// not yet saved.
#include <array>
#include <span>
#include <string>

#include "partition/CHardDisk.h"

namespace korvex {

using MenuTitle = std::array<char, kTitleLength>;

// Writes the lines for titles (at most the menu's twelve entries) in menu order.
void WriteMenuLines(EngineAreaImage& area, std::span<const MenuTitle> titles);

// The title in the line of menu position, up to its first zero byte.
std::string MenuTitleAt(const EngineAreaImage& area, unsigned position);

}  // namespace korvex
