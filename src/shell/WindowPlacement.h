#pragma once
// Where the main window goes: its size at the first start, and the size, position, maximised
// state and tree width it had when it was last closed, kept in the settings store and put back
// on the visible part of the screen. No window types.
#include <optional>

#include "platform/Registry.h"

namespace korvex {

struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ScreenRect&) const = default;
};

struct WindowPlacement {
  ScreenRect frame;        // the window when not maximised
  bool maximised = false;
  int treeWidth = 0;       // the sash: the width of the device tree's pane
  bool operator==(const WindowPlacement&) const = default;
};

// The smallest first size, where the screen allows it.
inline constexpr int kFirstFrameWidth = 1024;
inline constexpr int kFirstFrameHeight = 640;
// The narrowest either pane may be dragged to.
inline constexpr int kMinPaneWidth = 100;

// The window at its first start: the wanted size, at least 1024 × 640, no larger than the
// screen's visible area, centred on it.
ScreenRect FirstFramePlacement(int wantedWidth, int wantedHeight, const ScreenRect& screen);
// A remembered window on the screen as it is now: no larger than the visible area, and moved,
// if need be, until it lies whole inside it.
ScreenRect ClampToScreen(const ScreenRect& frame, const ScreenRect& screen);
// A sash position that leaves both panes of a window frameWidth wide at least kMinPaneWidth.
int ClampTreeWidth(int treeWidth, int frameWidth);

// The placement the store holds; nothing when it holds none (or a part of one is missing).
std::optional<WindowPlacement> ReadWindowPlacement(const RegistryStore& registry);
// Stores the placement as one change of the store; false when it could not be written.
bool StoreWindowPlacement(RegistryStore& registry, const WindowPlacement& placement);

}  // namespace korvex
