#pragma once
// The program's own pictures, drawn in code: the device tree's icon strip (16 px icons, the
// icon number is the node kind) and the toolbar's images.
#include <wx/bitmap.h>
#include <wx/imaglist.h>

#include "analysis/ScanHit.h"
#include "shell/CommandIds.h"
#include "shell/DeviceTree.h"

namespace korvex {

inline constexpr int kTreeIconSize = 16;
inline constexpr int kTreeIconCount = 11;  // numbers 0..10; the node kinds use 1, 4, 5, 6, 7, 8, 10

// The strip as an image list whose image i is icon number i, followed by the data partition's
// icon in the colour of each file system.
inline constexpr int kFileSystemIconCount = static_cast<int>(FileSystemKind::LinuxSwap);
wxImageList* CreateTreeImageList();
// The image of a node: its kind's icon, for a data partition with a file system that icon in the
// file system's colour (the colour the disk map gives it).
int TreeIconOf(NodeKind kind, FileSystemKind fileSystem);

// The disk analysis' result tree: the strip, then the kinds of hits as numbers 13..16.
inline constexpr int kScanIconCount = 17;
wxImageList* CreateScanImageList();

// The colour of a partition, logical drive or free area in the disk map: its file system's
// where one was found, else the colour of its tree icon.
wxColour VolumeColour(NodeKind kind, FileSystemKind fileSystem);

// The toolbar image of a command (16 × 15 pixels); an empty bitmap for a command without one.
wxBitmap ToolbarBitmap(CommandId command);

}  // namespace korvex
