#include "partition/MenuLines.h"

#include <algorithm>

namespace korvex {
namespace {

constexpr std::uint8_t kFrameVertical = layout::CONST_FRAME_V;
constexpr std::uint8_t kFrameBottomLeft = layout::CONST_FRAME_BOTTOM_LEFT;
constexpr std::uint8_t kFrameHorizontal = layout::CONST_FRAME_H;
constexpr std::uint8_t kFrameBottomRight = layout::CONST_FRAME_BOTTOM_RIGHT;
constexpr std::size_t kLastLineChar = layout::CONST_LINE_CHARS - 1;

std::span<std::uint8_t> ScreenLine(EngineAreaImage& area, unsigned line) {
  return std::span<std::uint8_t>(area).subspan(layout::AREA_SCREEN_LINES + line * layout::CONST_SCREEN_LINE_SIZE,
                                               layout::CONST_SCREEN_LINE_SIZE);
}

}  // namespace

void WriteMenuLines(EngineAreaImage& area, std::span<const MenuTitle> titles) {
  const unsigned count = static_cast<unsigned>(std::min<std::size_t>(titles.size(), layout::CONST_MENU_ENTRIES));
  for (unsigned k = 0; k < count; ++k) {
    auto line = ScreenLine(area, layout::CONST_MENU_FIRST_LINE + k);
    std::fill(line.begin(), line.end(), std::uint8_t{' '});
    line[0] = kFrameVertical;
    std::copy(titles[k].begin(), titles[k].end(), line.begin() + layout::CONST_TITLE_CHAR);
    line[kLastLineChar] = kFrameVertical;
    line[layout::CONST_LINE_CHARS] = 0;
  }
  auto bottom = ScreenLine(area, layout::CONST_MENU_FIRST_LINE + count);
  bottom[0] = kFrameBottomLeft;
  std::fill(bottom.begin() + 1, bottom.begin() + kLastLineChar, kFrameHorizontal);
  bottom[kLastLineChar] = kFrameBottomRight;
  bottom[layout::CONST_LINE_CHARS] = 0;
  if (layout::CONST_MENU_FIRST_LINE + count + 1 < layout::CONST_SCREEN_LINE_COUNT) {
    ScreenLine(area, layout::CONST_MENU_FIRST_LINE + count + 1)[0] = 0;
  } else {
    area[layout::AREA_SCREEN_END] = 0;
  }
}

std::string MenuTitleAt(const EngineAreaImage& area, unsigned position) {
  const auto* title = area.data() + layout::AREA_SCREEN_LINES +
                      (layout::CONST_MENU_FIRST_LINE + position) * layout::CONST_SCREEN_LINE_SIZE +
                      layout::CONST_TITLE_CHAR;
  return std::string(title, std::find(title, title + kTitleLength, 0));
}

}  // namespace korvex
