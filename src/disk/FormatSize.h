#pragma once
// Size texts for disks and partitions: "%.2f %s" with kB, MB or GB and the decimal separator
// of the current C locale.
#include <cstdint>
#include <string>

namespace korvex {

enum class SizeUnit { Automatic = 0, KB = 1, MB = 2, GB = 3 };

struct SizeInUnit {
  float value = 0;
  SizeUnit unit = SizeUnit::KB;  // never Automatic
  std::string unitText;          // "kB", "MB", "GB"
};

// The first of GB, MB, kB in which the value lies above 1 and below 1000; kB when none does.
SizeInUnit SizeParts(std::uint64_t bytes, SizeUnit unit = SizeUnit::Automatic);
std::string FormatSize(std::uint64_t bytes);

}  // namespace korvex
