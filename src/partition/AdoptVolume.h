#pragma once
// Putting a partition back that still exists on the disk but no longer in its tables (a
// volume the lost-partition search found): at exactly the place the volume occupies, as a
// partition-table partition, or as a logical drive when the place lies inside the extended
// partition. Only the working copy changes; the save writes it like any other edit.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "partition/CHardDisk.h"
#include "platform/Prompt.h"

namespace korvex {

// How far before its data a logical drive's extended boot record lies at most, as partitioning
// programs place it: a 1-MiB layout leaves 2048 sectors between record and data, the classic
// layout one track.
inline constexpr std::uint64_t kFarthestRecord = 2048;

struct FoundVolume {
  std::uint32_t start = 0;   // the volume's first sector
  std::uint32_t length = 0;  // its sectors
  std::uint8_t type = 0;     // the partition type it gets
  // A logical drive's old place: where its extended boot record lay. Without it the record goes
  // into the free space before the volume.
  std::optional<std::uint32_t> record{};
  // The boot sector the save writes back to the volume's first sector (its backup's copy, when
  // the volume was found through its backup).
  std::optional<std::array<std::uint8_t, kSectorSize>> bootSector{};
};

// A lost extended partition with its logical drives, each with its record's place.
struct FoundExtended {
  std::uint32_t start = 0;
  std::uint32_t length = 0;
  std::uint8_t type = 0;  // 5 or 15
  std::vector<FoundVolume> drives{};
};

// The new partition (state NewTable, never destructive: its first sectors are the volume's; a
// given boot sector is written to its first sector at the save),
// or nothing after a stop message with nothing changed: a GPT disk, type 0, 5 or 15, a place
// past the disk's end or past the last sector a table can name, in track 0, across the border
// of the extended partition or sharing a sector with another partition, a full partition table,
// a logical drive without a free sector before it for its extended boot record (or a given
// record place that is not free or not before the volume, or that lies outside the extended
// partition), or one more record than the chain of logical drives may hold.
CPartition* AdoptVolume(CHardDisk& disk, const FoundVolume& volume, CPrompt& prompt);

// Puts a lost extended partition back whole: the extended partition (state NewTable, never
// destructive) and every logical drive in it at its old place, each through AdoptVolume. When
// the working copy holds an extended partition at the same start already (its table entry
// survived), the drives go into that one. The extended partition, or nothing after a stop
// message with nothing changed: a GPT disk, a type other than 5 or 15, no drives, a place past
// the disk's end, in track 0 or over a partition, a full partition table, another extended
// partition, or any refusal of a drive.
CPartition* AdoptExtended(CHardDisk& disk, const FoundExtended& found, CPrompt& prompt);

}  // namespace korvex
