#pragma once
// What file system begins at a sector: the volume probes of the search asked about one place,
// as a view needs it for a partition's label (ext4 "home", NTFS "Windows", FAT32 "DATEN", a swap
// area). No window types.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/SectorClassifier.h"

namespace korvex {

struct VolumeIdentity {
  FileSystemKind fileSystem = FileSystemKind::None;
  std::string label;  // UTF-8, empty when the volume has none
  // The sectors the file system occupies; nothing when they would not lie on the medium.
  std::optional<VolumeRange> range;
  bool throughBackup = false;  // its first sector is lost; its FAT32 backup boot sector told
  bool operator==(const VolumeIdentity&) const = default;
};

// The hits of the sectors that can name a volume beginning at sector (the sector itself, and 2,
// 6 and 7 sectors on: a superblock, the usual place of a FAT32 backup boot sector, a swap
// signature) that lie at sector or describe a volume beginning there.
std::vector<ScanHit> HitsNaming(ISectorSource& sectors, std::uint64_t sector, std::uint64_t mediumSectors);

// The file system whose volume begins at start: from its boot sector, its ext superblock, its
// swap signature, or (when the first sector is lost) a FAT32 backup boot sector at the usual
// place. Nothing when none does. Reads at most four sectors.
std::optional<VolumeIdentity> IdentifyVolume(ISectorSource& sectors, std::uint64_t start, std::uint64_t mediumSectors);

}  // namespace korvex
