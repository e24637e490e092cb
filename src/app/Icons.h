#pragma once
// The program's own pictures, drawn in code: the device tree's icon strip (16 px icons, the
// icon number is the node kind) and the toolbar's images.
#include <wx/bitmap.h>
#include <wx/imaglist.h>

#include "shell/CommandIds.h"

namespace korvex {

inline constexpr int kTreeIconSize = 16;
inline constexpr int kTreeIconCount = 11;  // numbers 0..10; the node kinds use 1, 4, 5, 6, 7, 8, 10

// The strip as an image list whose image i is icon number i.
wxImageList* CreateTreeImageList();

// The disk analysis' result tree: the strip, then the kinds of hits as numbers 13..16.
inline constexpr int kScanIconCount = 17;
wxImageList* CreateScanImageList();

// The toolbar image of a command (16 × 15 pixels); an empty bitmap for a command without one.
wxBitmap ToolbarBitmap(CommandId command);

}  // namespace korvex
