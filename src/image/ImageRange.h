#pragma once
// The sectors a partition image holds: what saving reads from an entry and what restoring
// writes onto one.
#include <cstdint>
#include <optional>
#include <string>

#include "partition/CPartition.h"

namespace korvex {

struct SectorRange {
  std::uint64_t first = 0;  // 64 bits: a drive's data may begin past what its record can name
  std::uint32_t count = 0;

  std::uint64_t End() const { return std::uint64_t{first} + count; }
  bool operator==(const SectorRange&) const = default;
};

// A primary-level object (an extended partition as a whole included): from its start for its
// length. A logical drive: its volume only, which begins at the drive's own distance from its
// extended boot record (one track on a disk written by this program, 2048 sectors on one
// aligned to 1 MiB) and ends with the entry. Nothing for a free area or a drive without data.
std::optional<SectorRange> ImagedRange(const CPartition& object, bool logical);

// Why object has no range an image can be made of or restored onto: there is none (a free area,
// a drive without data), or it reaches past the last sector a partition table can name. Nothing
// when there is one.
std::optional<std::string> ImageRangeRefusal(const CPartition& object, bool logical);

}  // namespace korvex
