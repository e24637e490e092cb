#pragma once
// Putting a partition back that still exists on the disk but no longer in its tables (a
// volume the lost-partition search found): at exactly the place the volume occupies, as a
// partition-table partition, or as a logical drive when the place lies inside the extended
// partition. Only the working copy changes; the save writes it like any other edit.
#include <cstdint>

#include "partition/CHardDisk.h"
#include "platform/Prompt.h"

namespace korvex {

struct FoundVolume {
  std::uint32_t start = 0;   // the volume's first sector
  std::uint32_t length = 0;  // its sectors
  std::uint8_t type = 0;     // the partition type it gets
};

// The new partition (state NewTable, never destructive: its first sectors are the volume's),
// or nothing after a stop message with nothing changed: a GPT disk, type 0, 5 or 15, a place
// past the disk's end or past the last sector a table can name, in track 0, across the border
// of the extended partition or sharing a sector with another partition, a full partition table,
// a logical drive without a free sector before it for its extended boot record, or one more
// record than the chain of logical drives may hold.
CPartition* AdoptVolume(CHardDisk& disk, const FoundVolume& volume, CPrompt& prompt);

}  // namespace korvex
