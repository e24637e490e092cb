#include "shell/BootMenuPreview.h"

#include <algorithm>
#include <utility>

#include "EngineLayout.h"
#include "bootengine/MenuScreen.h"
#include "partition/ObjectRef.h"
#include "platform/StringTable.h"

namespace korvex {
namespace {

constexpr int kFirstFieldWidth = 22;
constexpr int kFieldWidth = 24;
constexpr unsigned kColours = 16;
constexpr unsigned kBackgroundColours = 8;

std::uint8_t Attribute(const TextColour& colour) {
  return static_cast<std::uint8_t>(colour.background << 4 | colour.foreground);
}

}  // namespace

BootMenuPreview::BootMenuPreview(WorkingCopy& workingCopy, CHardDisk& disk)
    : workingCopy_(workingCopy),
      disk_(disk),
      order_(disk.MenuObjectsBySlot()),
      opened_(CurrentMenuColours(disk)),
      colours_(opened_) {
  const std::uint8_t defaultEntry = disk.sector0[layout::LOADER_DEFAULT_ENTRY];
  selected_ = defaultEntry < order_.size() ? defaultEntry : 0;
}

std::optional<unsigned> BootMenuPreview::StripColourAt(int x) {
  if (x < 0) return std::nullopt;
  const unsigned colour = x < kFirstFieldWidth ? 0 : static_cast<unsigned>((x - kFirstFieldWidth) / kFieldWidth + 1);
  if (colour >= kColours) return std::nullopt;
  return colour;
}

bool BootMenuPreview::PickColour(unsigned colour) {
  if (colour >= (background_ ? kBackgroundColours : kColours)) return false;
  TextColour& edited = target_ == Target::Menu ? colours_.menu : colours_.bar;
  (background_ ? edited.background : edited.foreground) = static_cast<std::uint8_t>(colour);
  return true;
}

bool BootMenuPreview::SelectRow(unsigned row) {
  if (row < layout::CONST_MENU_FIRST_LINE || row - layout::CONST_MENU_FIRST_LINE >= order_.size()) return false;
  selected_ = row - layout::CONST_MENU_FIRST_LINE;
  return true;
}

void BootMenuPreview::MoveSelected(bool up) {
  if (up ? !CanMoveUp() : !CanMoveDown()) return;
  const unsigned other = up ? selected_ - 1 : selected_ + 1;
  std::swap(order_[selected_], order_[other]);
  selected_ = other;
}

TextScreen BootMenuPreview::Screen() const {
  std::vector<MenuTitle> titles;
  for (const CPartition* entry : order_) titles.push_back(entry->title);
  EngineAreaImage area = WithMenuTitles(disk_.engineArea, titles);
  area[layout::AREA_MENU_COLOUR] = Attribute(colours_.menu);
  area[layout::AREA_BAR_COLOUR] = Attribute(colours_.bar);
  MenuScreenState state = EngineStartState(area, disk_.sector0[layout::LOADER_DEFAULT_ENTRY]);
  state.selection = static_cast<std::uint8_t>(selected_);
  return PaintMenuScreen(area, state);
}

bool BootMenuPreview::Accept(CPrompt& prompt) {
  if (!SetMenuColours(disk_, colours_, prompt)) return false;
  for (unsigned position = 0; position < order_.size(); ++position) {
    const auto entry = RefOf(disk_, *order_[position]);
    if (!entry || !MoveMenuEntry(workingCopy_, *entry, position, prompt)) return false;
  }
  disk_.MarkModified();
  return true;
}

bool BootMenuPreview::MayCancel(CPrompt& prompt) const {
  return !ColoursChanged() ||
         prompt.Ask(LoadResString(IDS_LOSE_COLOURS), PromptButtons::YesNoDefaultNo, PromptIcon::Question) ==
             PromptAnswer::Yes;
}

}  // namespace korvex
