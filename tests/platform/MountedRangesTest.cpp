// Mounted file systems of a disk found through a sysfs tree and a mount table made by the test.
#include "platform/MountedRanges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace korvex {
namespace {

void Write(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path) << text << "\n";
}

TEST(MountedRanges, PartitionsOfABlockDeviceAreMatchedByNumberOrBySource) {
  test::TempDir dir;
  // /sys/dev/block/8:0 is a link to the disk's directory in the kernel's tree.
  const auto disk = dir.path() / "sys/devices/pci0/block/sda";
  Write(disk / "dev", "8:0");
  Write(disk / "size", "1000000");
  for (const auto& [name, start, number] : {std::tuple{"sda1", 2048, "8:1"}, {"sda2", 100000, "8:2"}, {"sda3", 500000, "8:3"}}) {
    Write(disk / name / "partition", "1");
    Write(disk / name / "start", std::to_string(start));
    Write(disk / name / "size", "4096");
    Write(disk / name / "dev", number);
  }
  std::filesystem::create_directories(dir.path() / "sys/dev/block");
  std::filesystem::create_directory_symlink(disk, dir.path() / "sys/dev/block/8:0");
  // sda1 by its number, sda2 (btrfs, an anonymous number) by its source; sda3 is not mounted.
  Write(dir.path() / "mountinfo",
        "25 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "40 25 0:45 / /srv\\040data rw - btrfs /dev/sda2 rw\n"
        "41 25 0:22 / /proc rw - proc proc rw");
  const MountSources sources{(dir.path() / "sys").string(), (dir.path() / "mountinfo").string()};
  std::vector<MountedRange> ranges = MountedRangesOfBlockDevice("8:0", sources);
  std::sort(ranges.begin(), ranges.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  EXPECT_EQ(ranges, (std::vector<MountedRange>{{2048, 4096, "sda1", "/"}, {100000, 4096, "sda2", "/srv data"}}));
  EXPECT_TRUE(MountedRangesOfBlockDevice("8:16", sources).empty());
}

TEST(MountedRanges, ALoopDeviceOfAnImageFileShiftsItsRangesByItsOffset) {
  test::TempDir dir;
  const std::string imagePath = dir.File("disk.img");
  Write(imagePath, "");
  const auto loop = dir.path() / "sys/block/loop3";
  Write(loop / "loop/backing_file", imagePath);
  Write(loop / "loop/offset", "1048576");
  Write(loop / "dev", "7:3");
  Write(loop / "size", "8192");
  // Another loop device backs another file.
  Write(dir.path() / "sys/block/loop4/loop/backing_file", dir.File("other.img"));
  Write(dir.path() / "sys/block/loop4/dev", "7:4");
  Write(dir.path() / "mountinfo", "30 1 7:3 / /mnt/whole rw - ext4 /dev/loop3 rw\n30 1 7:4 / /mnt/other rw - ext4 /dev/loop4 rw");
  const MountSources sources{(dir.path() / "sys").string(), (dir.path() / "mountinfo").string()};
  EXPECT_EQ(MountedRangesOf(imagePath, sources), (std::vector<MountedRange>{{2048, 8192, "loop3", "/mnt/whole"}}));
  EXPECT_TRUE(FindMountedOverlap(imagePath, 10240 - 1, 1, sources));
  EXPECT_FALSE(FindMountedOverlap(imagePath, 10240, 100, sources));
  EXPECT_FALSE(FindMountedOverlap(imagePath, 0, 2048, sources));
}

}  // namespace
}  // namespace korvex
