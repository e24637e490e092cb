#pragma once
// Which sectors of a disk hold a file system that this machine has mounted: the partitions
// and loop devices that sysfs describes, matched against the mount table. Writing under a
// mounted file system corrupts it, and reading one while it changes gives an inconsistent copy.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvex {

struct MountSources {
  std::string sysfs = "/sys";
  std::string mountinfo = "/proc/self/mountinfo";
};

struct MountedRange {
  std::uint64_t first = 0;  // sectors of the disk
  std::uint64_t count = 0;
  std::string device;       // the kernel's name, e.g. "sda2" or "loop0p1"
  std::string mountPoint;

  bool operator==(const MountedRange&) const = default;
};

// The mounted ranges of the disk at diskPath: a block device (its partitions, or the whole
// device) or an image file (through the loop devices it backs, with their offsets).
std::vector<MountedRange> MountedRangesOf(const std::string& diskPath, const MountSources& sources);
// The same for the block device with this "MAJOR:MINOR" number.
std::vector<MountedRange> MountedRangesOfBlockDevice(const std::string& majorMinor, const MountSources& sources);
// The same for the loop devices backed by the image file at imagePath.
std::vector<MountedRange> MountedRangesOfImageFile(const std::string& imagePath, const MountSources& sources);

// The first mounted range that shares a sector with [first, first + count) of the disk.
std::optional<MountedRange> FindMountedOverlap(const std::string& diskPath, std::uint64_t first, std::uint64_t count,
                                               const MountSources& sources);

}  // namespace korvex
