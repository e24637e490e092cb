#pragma once
// Builds a disk's primary and logical levels from its sector images and its chain of extended
// boot records, and derives the free areas between the partitions.
#include "partition/CHardDisk.h"
#include "platform/Prompt.h"

namespace korvex {

// The most extended boot records the reader follows in one chain: a chain whose last record still
// links on counts as broken. Creation and adoption never make a longer chain, and none is saved.
inline constexpr std::size_t kMaxChainRecords = 27;

// Decides whether the engine whose signature LBA 1 carries counts as installed: only when
// sector 0 holds its loader (else the signature is cleared in the working copy, and with a valid
// copy of sector 0 behind it engineWithoutLoader is set) and its copy of sector 0 is valid (else
// engineDamaged: the tables are read from sector 0). Each finding is reported. Run before
// ParseTables.
void CheckEngineTrust(CHardDisk& disk, CPrompt& prompt);

// Fills both (empty) levels: the boot menu from the engine area when the engine is installed,
// the partition table (of the engine's copy of sector 0 when installed), the logical drives of
// the first extended partition in table order, and the free areas.
void ParseTables(CHardDisk& disk, CPrompt& prompt);

// Appends the logical drives of ext to the logical level and completes that level. The walk
// stays inside ext and the medium; a loop, a last record (kMaxChainRecords) that still links on
// or a link past the last sector a table can name reports a broken chain, marks the disk
// (logicalChainBroken) and leaves one free area spanning ext.
void ReadExtendedChain(CHardDisk& disk, const CPartition& ext, CPrompt& prompt);

// Add Free objects for the gaps of a level sorted by start and free of Free objects; the level
// is left unsorted. Track 0 is never part of a primary free area, and no free area reaches past
// the last sector a partition table can name.
void AddPrimaryGaps(CHardDisk& disk);
void AddLogicalGaps(CHardDisk& disk, const CPartition& ext);

// The free-area rebuild after an edit: both levels lose their free areas and get them anew.
void RebuildFreeAreas(CHardDisk& disk);

}  // namespace korvex
