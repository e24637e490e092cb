#pragma once
// The disk map above a disk's and a partition's form: the disk as one bar in which every
// partition, logical drive and free area is a box as wide as its share of the disk, the
// extended partition a frame around its logical drives. The boxes' places are worked out here,
// without a window, from the disk's node of the device tree.
#include <vector>

#include "shell/DeviceTree.h"

namespace korvex {

struct DiskMapBox {
  const DeviceNode* node = nullptr;  // the object the box shows (a node of the tree laid out)
  int x = 0;                         // left edge, from the bar's left
  int y = 0;                         // top edge, from the bar's top
  int width = 0;
  int height = 0;
  int depth = 0;                     // 0 for the primary level, 1 inside the extended partition

  bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

struct DiskMapMetrics {
  int width = 0;          // the bar
  int height = 0;
  int minBoxWidth = 12;   // the narrowest box, so that a small one can still be clicked
  int frameInset = 4;     // the extended partition's frame around its logical drives
};

// Splits width among boxes of the given sizes: each at least its least width, the rest in
// proportion to the sizes (the boxes above their least width keep their proportions among each
// other); the widths add up to width exactly. When even the least widths do not fit, every box
// gets width / n (the remainder going to the first ones).
std::vector<int> ProportionalWidths(const std::vector<std::uint64_t>& sizes, const std::vector<int>& leastWidths,
                                    int width);

// The boxes of a disk node's children, in its order, then those of the logical drives inside
// their extended partition's box.
std::vector<DiskMapBox> LayoutDiskMap(const DeviceNode& disk, const DiskMapMetrics& metrics);

// The innermost box at (x, y); nothing when the point lies on none.
const DiskMapBox* BoxAt(const std::vector<DiskMapBox>& boxes, int x, int y);

}  // namespace korvex
