#include "bootengine/MenuScreen.h"

#include <algorithm>

namespace korvex {
namespace {

// Where and how much the engine paints (the same numbers as in engine.asm).
constexpr unsigned kScreenColumn = layout::CONST_SCREEN_COLUMN;
constexpr unsigned kLineCharacters = layout::CONST_LINE_CHARS;  // the 48th byte of a line is its zero
constexpr unsigned kBarFirstCharacter = layout::CONST_BAR_FIRST_CHAR;
constexpr unsigned kBarCharacters = layout::CONST_BAR_CHARS;
constexpr unsigned kCountdownColumn = kScreenColumn + layout::CONST_COUNTDOWN_CHAR;
constexpr unsigned kLinesAroundEntries = layout::CONST_MENU_FIRST_LINE + 1;  // five above, the border below
constexpr std::uint8_t kBcdDigitMask = 0x0F;

std::span<const std::uint8_t> ScreenLine(const EngineAreaImage& area, unsigned line) {
  return std::span<const std::uint8_t>(area).subspan(
      layout::AREA_SCREEN_LINES + line * layout::CONST_SCREEN_LINE_SIZE, kLineCharacters);
}

unsigned PaintedLineCount(const EngineAreaImage& area) {
  unsigned count = 0;
  while (count < layout::CONST_SCREEN_LINE_COUNT && ScreenLine(area, count)[0] != 0) ++count;
  return count;
}

// The engine's rule for the first selection: a position beyond the menu becomes the first.
std::uint8_t ClampedSelection(std::uint8_t selection, unsigned entries) { return selection < entries ? selection : 0; }

}  // namespace

unsigned EngineMenuEntryCount(const EngineAreaImage& area) {
  const unsigned lines = PaintedLineCount(area);
  return lines > kLinesAroundEntries ? lines - kLinesAroundEntries : 0;
}

MenuScreenState EngineStartState(const EngineAreaImage& area, std::uint8_t defaultEntry) {
  const unsigned entries = EngineMenuEntryCount(area);
  MenuScreenState state;
  state.selection = ClampedSelection(defaultEntry, entries);
  state.countdown = entries > 0 ? area[layout::AREA_TIMEOUT] : 0;
  return state;
}

TextScreen PaintMenuScreen(const EngineAreaImage& area, const MenuScreenState& state) {
  const std::uint8_t menuColour = area[layout::AREA_MENU_COLOUR];
  TextScreen screen;
  const unsigned lines = PaintedLineCount(area);
  for (unsigned line = 0; line < lines; ++line) screen.Write(line, kScreenColumn, ScreenLine(area, line), menuColour);

  const bool autoboot = area[layout::AREA_AUTOBOOT_SWITCH] != layout::CONST_AUTOBOOT_OFF;
  if (autoboot && state.countdown != 0) {
    // Each BCD digit as the engine forms it: '0' plus its value, a tens digit of 0 as a blank.
    const std::uint8_t tens = state.countdown >> 4;
    const std::uint8_t digits[] = {static_cast<std::uint8_t>(tens == 0 ? ' ' : '0' + tens),
                                   static_cast<std::uint8_t>('0' + (state.countdown & kBcdDigitMask))};
    screen.Write(layout::CONST_STATUS_LINE, kCountdownColumn, digits, menuColour);
  }

  const unsigned entries = EngineMenuEntryCount(area);
  if (entries > 0) {
    const unsigned line = layout::CONST_MENU_FIRST_LINE + ClampedSelection(state.selection, entries);
    screen.Write(line, kScreenColumn + kBarFirstCharacter,
                 ScreenLine(area, line).subspan(kBarFirstCharacter, kBarCharacters), area[layout::AREA_BAR_COLOUR]);
  }
  return screen;
}

EngineAreaImage WithMenuTitles(const EngineAreaImage& area, std::span<const MenuTitle> titles) {
  EngineAreaImage result = area;
  WriteMenuLines(result, titles);
  return result;
}

}  // namespace korvex
