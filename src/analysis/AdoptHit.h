#pragma once
// "Übernehmen": a hit of the lost-partition search that describes a volume becomes a partition
// of the working copy again, with the volume's start and length and a type that fits its file
// system; a lost extended partition comes back whole, with every logical drive at its old place.
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/LostExtended.h"
#include "analysis/ScanHit.h"
#include "partition/CHardDisk.h"
#include "platform/LongWork.h"
#include "platform/Prompt.h"

namespace korvex {

// What the search reports for sector, read afresh from the drive (for a front end that did not
// keep the hit): a file system whose boot sector lies there or whose volume begins there (also
// one found through a FAT32 backup boot sector at the usual place), else the sector's own kind;
// nothing when the search would not list the sector.
std::optional<ScanHit> HitAtSector(CPhysicalDrive& drive, std::uint64_t sector);

// Adopts hit into disk's working copy with type, or with the fitting type when none is given.
// lost holds the lost extended partitions of the same search (empty when the front end has
// none). A volume that is a logical drive (one of lost covers it, or an extended boot record
// up to kFarthestRecord sectors before it names it) goes in as a logical drive at its old
// place, with the length and type its record gives, when the working copy has its extended
// partition; without that it is refused: its extended partition is to be adopted whole. The
// new partition, or nothing after a stop message (a hit that describes no volume on this disk,
// one that no table can address, or one of the refusals of AdoptVolume) with nothing changed.
CPartition* AdoptHit(CHardDisk& disk, const ScanHit& hit, std::optional<std::uint8_t> type,
                     const std::vector<LostExtended>& lost, CPrompt& prompt);

// Adopts a lost extended partition whole (AdoptExtended): the extended partition, or nothing
// after a stop message with nothing changed.
CPartition* AdoptLostExtended(CHardDisk& disk, const LostExtended& lost, CPrompt& prompt);

// For a front end that did not keep the search's results: searches the whole disk (reporting to
// progress, stopping at stop) and adopts what begins at sector: a lost extended partition whole,
// else a volume the search reports there (also one found through its backup, as an NTFS volume
// whose first sector is lost), with type when given. The new partition (the extended one), or
// nothing after a message (the search's own outcome, "Suche abgebrochen", nothing found there,
// or a refusal) with nothing changed.
CPartition* SearchAndAdopt(CHardDisk& disk, std::uint64_t sector, std::optional<std::uint8_t> type,
                           IProgressSink& progress, const StopFlag& stop, CPrompt& prompt);

}  // namespace korvex
