#pragma once
// The partitions the kernel lists for a block device in sysfs: their names ("sda5",
// "nvme0n1p5"), numbers and sector ranges, as /sys/block/<disk>/<partition>/ describes them.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace korvex {

struct KernelPartition {
  std::string name;         // "sda5"
  unsigned number = 0;      // 5, from the "partition" file
  std::uint64_t start = 0;  // sectors of the disk
  std::uint64_t size = 0;
  std::string majorMinor;   // "8:5"
  bool operator==(const KernelPartition&) const = default;
};

// A sysfs attribute: the first line of the file, empty when it cannot be read; as a number, 0
// when it holds none.
std::string ReadSysfsLine(const std::filesystem::path& path);
std::uint64_t ReadSysfsNumber(const std::filesystem::path& path);

// The partitions below deviceDir, a disk's directory in sysfs, in no particular order.
std::vector<KernelPartition> PartitionsInSysfs(const std::filesystem::path& deviceDir);

// The partitions of the disk at devicePath (a /dev node, or a link to one): those of
// <sysfsRoot>/block/<the node's name>. None when sysfs does not know the disk.
std::vector<KernelPartition> KernelPartitionsOf(const std::string& devicePath, const std::string& sysfsRoot = "/sys");

}  // namespace korvex
