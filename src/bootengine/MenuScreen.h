#pragma once
// The boot menu as the engine paints it at boot: the 80 × 25 text cells (code page 437
// characters and attribute bytes) of its screen lines in the menu colour, the selection bar in
// the bar colour and the countdown's digits. The boot menu preview and `korvex-cli menu screen`
// show these cells; the boot tests hold them against the real engine's screen.
#include <cstdint>
#include <span>
#include <vector>

#include "partition/CHardDisk.h"
#include "partition/MenuLines.h"
#include "textscreen/TextScreen.h"

namespace korvex {

// What the menu loop shows besides the screen lines: the highlighted menu position and the
// countdown as the engine keeps it (two BCD digits, 0 = not shown).
struct MenuScreenState {
  std::uint8_t selection = 0;
  std::uint8_t countdown = 0;
};

// The number of menu entries the engine finds: its screen lines before the first one whose
// first byte is zero (at most 18), less the six lines around the entries, never below zero.
unsigned EngineMenuEntryCount(const EngineAreaImage& area);

// The state right after the engine painted its menu: the default-entry byte as selection (the
// first entry when it names none, as with remember-last before the first boot) and the timeout
// as countdown (none with an empty menu).
MenuScreenState EngineStartState(const EngineAreaImage& area, std::uint8_t defaultEntry);

// The screen of the menu loop in state: a cleared screen, the screen lines from row 0 at column
// 16 in the menu colour, the countdown at row 3, column 46 while the automatic boot is on and
// the countdown is not 0, and the bar over characters 2..44 of the selected entry's line. A
// selection beyond the menu is highlighted as the engine does at its start: on the first entry.
// Any engine area gives a screen; the line walk never leaves the line area.
TextScreen PaintMenuScreen(const EngineAreaImage& area, const MenuScreenState& state);

// The engine area with its menu lines as the next save writes them for these titles, in menu
// order (at most 12); all other bytes as they are. The preview shows an order not yet saved.
EngineAreaImage WithMenuTitles(const EngineAreaImage& area, std::span<const MenuTitle> titles);

}  // namespace korvex
