#pragma once
// What a save changes under the file systems this machine has mounted. Writing a table that
// deletes, moves, shrinks or retypes a mounted partition, or zeroing sectors inside one, pulls
// the ground from under a running file system; such a save is refused before its first write.
#include <cstdint>
#include <span>
#include <vector>

#include "partition/CHardDisk.h"
#include "platform/MountedRanges.h"
#include "platform/Prompt.h"

namespace korvex {

// The partitions and logical drives the next save of disk puts into its tables: the table
// partitions, the menu entries while the engine is installed, and the logical drives, each with
// its data range (a logical drive's data begins after its extended boot record).
std::vector<TableRange> RangesTheSaveWrites(const CHardDisk& disk);

// True when the save of disk touches no mounted file system: no range of disk.rangesOnDisk that
// the save deletes, moves, shrinks or gives another type, no new partition created
// destructively, and none of writtenSectors lies in a range that mounts names. Otherwise the
// first such range is reported with its mount point (stop icon) and false returned.
bool CheckMountsUntouched(const CHardDisk& disk, std::span<const std::uint32_t> writtenSectors,
                          const MountSources& mounts, CPrompt& prompt);

}  // namespace korvex
