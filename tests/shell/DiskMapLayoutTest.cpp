// The disk map's boxes: widths in proportion to the sizes with a least width, the extended
// partition's logical drives inside its frame, and the box under a click.
#include "shell/DiskMapLayout.h"

#include <gtest/gtest.h>

#include <numeric>

namespace korvex {
namespace {

DeviceNode Node(std::uint64_t sectors, NodeKind kind = NodeKind::DataPartition, std::vector<DeviceNode> children = {}) {
  DeviceNode node;
  node.kind = kind;
  node.sectors = sectors;
  node.children = std::move(children);
  return node;
}

int Sum(const std::vector<int>& widths) { return std::accumulate(widths.begin(), widths.end(), 0); }

TEST(DiskMapLayoutTest, WidthsFollowTheSizesAndAddUpToTheBar) {
  EXPECT_EQ(ProportionalWidths({100, 300}, {10, 10}, 400), (std::vector<int>{100, 300}));
  EXPECT_EQ(ProportionalWidths({1, 1, 1}, {10, 10, 10}, 100), (std::vector<int>{33, 34, 33}));
  // A tiny area keeps its least width; the others share the rest in their proportions.
  EXPECT_EQ(ProportionalWidths({1, 1000, 3000}, {12, 12, 12}, 412), (std::vector<int>{12, 100, 300}));
  // A frame of many drives needs more than its share.
  EXPECT_EQ(ProportionalWidths({1000, 10}, {12, 100}, 400), (std::vector<int>{300, 100}));
  // Too many boxes for the least width: equal shares, still the whole bar.
  const std::vector<int> crowded = ProportionalWidths(std::vector<std::uint64_t>(30, 5), std::vector<int>(30, 12), 200);
  EXPECT_EQ(Sum(crowded), 200);
  EXPECT_EQ(crowded.front(), 7);
  EXPECT_EQ(crowded.back(), 6);
  EXPECT_TRUE(ProportionalWidths({}, {}, 100).empty());
}

// The demo disk's shape: two partitions, an extended partition with three drives and a gap,
// and free space behind it.
TEST(DiskMapLayoutTest, LogicalDrivesLieInsideTheExtendedPartitionsFrame) {
  const DeviceNode disk = Node(0, NodeKind::Disk,
                               {Node(800), Node(1000),
                                Node(2000, NodeKind::ExtendedPartition,
                                     {Node(600), Node(400), Node(800), Node(200, NodeKind::FreeSpace)}),
                                Node(200, NodeKind::FreeSpace)});
  const std::vector<DiskMapBox> boxes = LayoutDiskMap(disk, {400, 60, 12, 4});
  ASSERT_EQ(boxes.size(), 8u);
  EXPECT_EQ(boxes[0].node, &disk.children[0]);
  EXPECT_EQ((std::vector<int>{boxes[0].x, boxes[1].x, boxes[2].x, boxes[3].x}), (std::vector<int>{0, 80, 180, 380}));
  EXPECT_EQ(boxes[2].width, 200);
  EXPECT_EQ(boxes[3].x + boxes[3].width, 400);
  const DiskMapBox& extended = boxes[2];
  int x = extended.x + 4;
  for (std::size_t i = 4; i < 8; ++i) {
    EXPECT_EQ(boxes[i].depth, 1);
    EXPECT_EQ(boxes[i].node, &disk.children[2].children[i - 4]);
    EXPECT_EQ(boxes[i].x, x);
    EXPECT_EQ(boxes[i].y, 4);
    EXPECT_EQ(boxes[i].height, 52);
    x += boxes[i].width;
  }
  EXPECT_EQ(x, extended.x + extended.width - 4);
  EXPECT_EQ(boxes[4].width, 58);  // 600 of 2000 sectors of the 192 pixels inside the frame: 57.6

  // A click in a drive finds the drive, on the frame's rim the extended partition.
  EXPECT_EQ(BoxAt(boxes, boxes[5].x + 1, 30)->node, &disk.children[2].children[1]);
  EXPECT_EQ(BoxAt(boxes, extended.x + 1, 30)->node, &disk.children[2]);
  EXPECT_EQ(BoxAt(boxes, 10, 30)->node, &disk.children[0]);
  EXPECT_EQ(BoxAt(boxes, 400, 30), nullptr);
}

TEST(DiskMapLayoutTest, TwentyTwoSmallDrivesOfALargeDiskStayClickable) {
  std::vector<DeviceNode> drives(22, Node(84000));
  const DeviceNode disk = Node(0, NodeKind::Disk,
                               {Node(40000000), Node(22 * 84000, NodeKind::ExtendedPartition, drives)});
  const std::vector<DiskMapBox> boxes = LayoutDiskMap(disk, {600, 60, 12, 4});
  ASSERT_EQ(boxes.size(), 24u);
  EXPECT_GE(boxes[1].width, 22 * 12 + 8);  // the frame holds the least width of every drive
  for (std::size_t i = 2; i < boxes.size(); ++i) {
    EXPECT_GE(boxes[i].width, 12);
    EXPECT_EQ(BoxAt(boxes, boxes[i].x + boxes[i].width / 2, 30)->node, boxes[i].node);
  }
}

}  // namespace
}  // namespace korvex
