#include "shell/DiskMapLayout.h"

#include <algorithm>

namespace korvex {

std::vector<int> ProportionalWidths(const std::vector<std::uint64_t>& sizes, const std::vector<int>& leastWidths,
                                    int width) {
  const std::size_t count = sizes.size();
  std::vector<int> widths(count, 0);
  if (count == 0 || width <= 0) return widths;
  long long leastTotal = 0;
  for (const int least : leastWidths) leastTotal += least;
  if (leastTotal >= width) {
    for (std::size_t i = 0; i < count; ++i) {
      widths[i] = width / static_cast<int>(count) + (static_cast<int>(i) < width % static_cast<int>(count) ? 1 : 0);
    }
    return widths;
  }
  // Boxes that would fall below their least width get it; the others share what is left in
  // proportion, until no further box falls below its least width.
  std::vector<bool> atLeast(count, false);
  std::uint64_t shared = 0;
  int left = width;
  const auto share = [&] {
    shared = 0;
    left = width;
    for (std::size_t i = 0; i < count; ++i) {
      if (atLeast[i]) left -= leastWidths[i];
      else shared += sizes[i];
    }
  };
  for (bool changed = true; changed;) {
    changed = false;
    share();
    for (std::size_t i = 0; i < count; ++i) {
      if (atLeast[i]) continue;
      const double part = shared == 0 ? 0.0 : static_cast<double>(left) * static_cast<double>(sizes[i]) / shared;
      if (part < leastWidths[i]) {
        atLeast[i] = true;
        changed = true;
      }
    }
  }
  share();
  if (shared == 0) {  // nothing has a size: the last box takes the rest
    widths = leastWidths;
    widths.back() += left;
    return widths;
  }
  // Whole pixels: each edge is rounded where it falls, so the widths add up to width.
  std::uint64_t before = 0;
  int placed = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (atLeast[i]) {
      widths[i] = leastWidths[i];
      continue;
    }
    before += sizes[i];
    const int edge = static_cast<int>(static_cast<double>(left) * static_cast<double>(before) / shared + 0.5);
    widths[i] = edge - placed;
    placed = edge;
  }
  return widths;
}

std::vector<DiskMapBox> LayoutDiskMap(const DeviceNode& disk, const DiskMapMetrics& metrics) {
  std::vector<DiskMapBox> boxes;
  const auto layOut = [&](const std::vector<DeviceNode>& nodes, int x, int y, int width, int height, int depth) {
    std::vector<std::uint64_t> sizes;
    std::vector<int> leastWidths;
    for (const DeviceNode& node : nodes) {
      sizes.push_back(node.sectors);
      // A frame holds the least width of each box inside it.
      const int inner = static_cast<int>(node.children.size()) * metrics.minBoxWidth + 2 * metrics.frameInset;
      leastWidths.push_back(node.children.empty() ? metrics.minBoxWidth : std::max(metrics.minBoxWidth, inner));
    }
    const std::vector<int> widths = ProportionalWidths(sizes, leastWidths, width);
    std::vector<std::size_t> placed;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      boxes.push_back({&nodes[i], x, y, widths[i], height, depth});
      x += widths[i];
      placed.push_back(boxes.size() - 1);
    }
    return placed;
  };
  const std::vector<std::size_t> primary = layOut(disk.children, 0, 0, metrics.width, metrics.height, 0);
  for (const std::size_t index : primary) {
    const DiskMapBox frame = boxes[index];
    if (frame.node->children.empty()) continue;
    const int inset = metrics.frameInset;
    layOut(frame.node->children, frame.x + inset, frame.y + inset, std::max(0, frame.width - 2 * inset),
           std::max(0, frame.height - 2 * inset), 1);
  }
  return boxes;
}

const DiskMapBox* BoxAt(const std::vector<DiskMapBox>& boxes, int x, int y) {
  const DiskMapBox* found = nullptr;
  for (const DiskMapBox& box : boxes) {
    if (box.Contains(x, y) && (found == nullptr || box.depth > found->depth)) found = &box;
  }
  return found;
}

}  // namespace korvex
