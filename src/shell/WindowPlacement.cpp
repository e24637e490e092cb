#include "shell/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

#include "platform/ProgramSettings.h"
#include "platform/RegTree.h"

namespace korvex {
namespace {

// The values under the program's settings key; positions may be negative (a screen left of or
// above the first one) and are kept as the two's complement of a DWORD.
constexpr const char* kLeftValue = "WindowLeft";
constexpr const char* kTopValue = "WindowTop";
constexpr const char* kWidthValue = "WindowWidth";
constexpr const char* kHeightValue = "WindowHeight";
constexpr const char* kMaximisedValue = "WindowMaximized";
constexpr const char* kTreeWidthValue = "TreeWidth";

// A span of length placed inside [start, start + extent): as it is when it fits, else moved in.
int Inside(int position, int length, int start, int extent) {
  return std::clamp(position, start, std::max(start, start + extent - length));
}

}  // namespace

ScreenRect FirstFramePlacement(int wantedWidth, int wantedHeight, const ScreenRect& screen) {
  const int width = std::min(std::max(wantedWidth, kFirstFrameWidth), screen.width);
  const int height = std::min(std::max(wantedHeight, kFirstFrameHeight), screen.height);
  return {screen.x + (screen.width - width) / 2, screen.y + (screen.height - height) / 2, width, height};
}

ScreenRect ClampToScreen(const ScreenRect& frame, const ScreenRect& screen) {
  const int width = std::min(frame.width, screen.width);
  const int height = std::min(frame.height, screen.height);
  return {Inside(frame.x, width, screen.x, screen.width), Inside(frame.y, height, screen.y, screen.height), width,
          height};
}

int ClampTreeWidth(int treeWidth, int frameWidth) {
  return std::clamp(treeWidth, kMinPaneWidth, std::max(kMinPaneWidth, frameWidth - kMinPaneWidth));
}

std::optional<WindowPlacement> ReadWindowPlacement(const RegistryStore& registry) {
  std::optional<std::uint32_t> values[6];
  const char* const names[6] = {kLeftValue, kTopValue, kWidthValue, kHeightValue, kMaximisedValue, kTreeWidthValue};
  for (int i = 0; i < 6; ++i) {
    values[i] = registry.ReadDword(RegRoot::CurrentUser, kSettingsKey, names[i]);
    if (!values[i]) return std::nullopt;
  }
  const auto signedValue = [](std::uint32_t value) { return static_cast<int>(static_cast<std::int32_t>(value)); };
  WindowPlacement placement{{signedValue(*values[0]), signedValue(*values[1]), signedValue(*values[2]),
                             signedValue(*values[3])},
                            *values[4] != 0,
                            signedValue(*values[5])};
  if (placement.frame.width <= 0 || placement.frame.height <= 0) return std::nullopt;
  return placement;
}

bool StoreWindowPlacement(RegistryStore& registry, const WindowPlacement& placement) {
  const auto path = SplitKeyPath(kSettingsKey);
  if (!path) return false;
  RegChangeSet set;
  const auto put = [&](const char* name, int value) {
    set.changes.push_back({RegChange::Kind::SetValue, *path,
                           {name, RegValueType::Dword, {}, static_cast<std::uint32_t>(value)}});
  };
  put(kLeftValue, placement.frame.x);
  put(kTopValue, placement.frame.y);
  put(kWidthValue, placement.frame.width);
  put(kHeightValue, placement.frame.height);
  put(kMaximisedValue, placement.maximised ? 1 : 0);
  put(kTreeWidthValue, placement.treeWidth);
  return registry.ApplyChanges(set);
}

}  // namespace korvex
