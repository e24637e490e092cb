#pragma once
// "Übernehmen": a hit of the lost-partition search that describes a volume becomes a partition
// of the working copy again, with the volume's start and length and a type that fits its file
// system.
#include <cstdint>
#include <optional>

#include "analysis/ScanHit.h"
#include "partition/CHardDisk.h"
#include "platform/Prompt.h"

namespace korvex {

// The partition type for a volume: FAT12 01h; FAT16 04h below 65536 sectors, else 06h; FAT32
// 0Bh when it ends within the first 1024 cylinders, else 0Ch (LBA); NTFS 07h; ext2/3/4 83h;
// Linux swap 82h. 0 for a hit without a file system.
std::uint8_t FittingType(const CPhysicalDrive& geometry, const ScanHit& hit);

// What the search reports for sector, read afresh from the drive (for a front end that did not
// keep the hit): a file system whose boot sector lies there or whose volume begins there, else
// the sector's own kind; nothing when the search would not list the sector.
std::optional<ScanHit> HitAtSector(CPhysicalDrive& drive, std::uint64_t sector);

// Adopts hit into disk's working copy with type, or with the fitting type when none is given.
// The new partition, or nothing after a stop message (a hit that describes no volume on this
// disk, or one of the refusals of AdoptVolume) with nothing changed.
CPartition* AdoptHit(CHardDisk& disk, const ScanHit& hit, std::optional<std::uint8_t> type, CPrompt& prompt);

}  // namespace korvex
