#pragma once
// Telling what a sector of a disk is: a partition table sector, a boot sector, another sector
// with the boot signature, or a trace of a file system (a FAT or NTFS boot sector with a valid
// parameter block, an ext2/3/4 superblock, a Linux swap signature) with the volume it belongs to,
// and the entries of an extended boot record.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/ScanHit.h"
#include "platform/DiskGeometry.h"

namespace korvex {

using SectorBytes = std::array<std::uint8_t, kSectorSize>;

// Sectors other than the one tested: the probes look back at a backup copy's original, at the
// header of a swap area, and at an NTFS volume's label record.
class ISectorSource {
 public:
  virtual ~ISectorSource() = default;
  // False when the sector cannot be read or lies past the end of the medium.
  virtual bool ReadSector(std::uint64_t lba, SectorBytes& out) = 0;
};

// How far before the tested sector a hit's volume may begin: a swap signature lies 7 sectors
// after the first sector of its area, a superblock 2.
inline constexpr std::uint64_t kMaxLookBehind = 7;

struct ProbeContext {
  std::uint64_t lba = 0;                  // the sector tested
  std::span<const std::uint8_t> sector;   // its 512 bytes
  ISectorSource& around;
  std::uint64_t mediumSectors = 0;        // no volume range may pass this end
};

// The quick test every sector gets: whether it could give a hit at all (the boot signature,
// the superblock magic at its place, the start of the swap signature at the end of a 4 KiB
// page). A few byte compares, inline: it runs for every sector of the disk.
inline bool MayHoldHit(std::span<const std::uint8_t, kSectorSize> sector) {
  return (sector[510] == 0x55 && sector[511] == 0xAA) || (sector[56] == 0x53 && sector[57] == 0xEF) ||
         (sector[502] == 'S' && sector[503] == 'W');
}

// The hits of one sector, in the order: the sector itself (boot signature), then a superblock
// or swap area it reveals. Usually none or one.
std::vector<ScanHit> ClassifySector(const ProbeContext& context);
// The same for sector lba read from sectors: nothing when it cannot be read or fails the quick
// test.
std::vector<ScanHit> ClassifyAt(ISectorSource& sectors, std::uint64_t lba, std::uint64_t mediumSectors);

// The kind of a sector with the boot signature by its first byte: FAh a partition table sector,
// EBh a boot sector, anything else another sector.
HitKind KindByFirstByte(std::uint8_t first);

// The hit of a backup boot sector whose original at sector original survives and agrees: the
// sector's own kind, naming the original, which alone describes the volume.
ScanHit BackupOf(const ProbeContext& context, std::uint64_t original);

// Where a hit's range may lie: inside the medium, at least one sector long. Nothing otherwise.
std::optional<VolumeRange> RangeOnMedium(std::uint64_t start, std::uint64_t length, std::uint64_t mediumSectors);

// A label of a Linux volume (meant as UTF-8) as valid UTF-8: a label that is not valid UTF-8 is
// read as code page 437 instead, so every byte stays visible.
std::string Utf8Label(std::string_view bytes);

}  // namespace korvex
