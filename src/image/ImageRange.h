#pragma once
// The sectors a partition image holds: what saving reads from an entry and what restoring
// writes onto one.
#include <cstdint>
#include <optional>

#include "partition/CPartition.h"

namespace korvex {

struct SectorRange {
  std::uint32_t first = 0;
  std::uint32_t count = 0;

  std::uint64_t End() const { return std::uint64_t{first} + count; }
  bool operator==(const SectorRange&) const = default;
};

// A primary-level object (an extended partition as a whole included): from its start for its
// length. A logical drive: its volume only, which begins at the drive's own distance from its
// extended boot record (one track on a disk written by this program, 2048 sectors on one
// aligned to 1 MiB) and ends with the entry. Nothing for a free area or a drive without data.
std::optional<SectorRange> ImagedRange(const CPartition& object, bool logical);

}  // namespace korvex
