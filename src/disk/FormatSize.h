#pragma once
// Size texts for disks and partitions: "%.2f %s" with kB, MB, GB or TB and the decimal
// separator of the current C locale.
#include <cstdint>
#include <string>

namespace korvex {

enum class SizeUnit { Automatic = 0, KB = 1, MB = 2, GB = 3, TB = 4 };

struct SizeInUnit {
  float value = 0;
  SizeUnit unit = SizeUnit::KB;  // never Automatic
  std::string unitText;          // "kB", "MB", "GB", "TB"
};

// Automatic: the largest of TB, GB, MB, kB (powers of 1024) in which the value is at least 1,
// so that 1 GB reads 1.00 GB and a 2 TiB disk 2.00 TB; kB for anything below 1 kB.
SizeInUnit SizeParts(std::uint64_t bytes, SizeUnit unit = SizeUnit::Automatic);
std::string FormatSize(std::uint64_t bytes);

}  // namespace korvex
