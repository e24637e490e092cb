#pragma once
// The parameter block of an NTFS boot sector, decoded and checked field by field. The
// lost-partition search finds NTFS volumes (and their backup boot sectors) by it; the image
// restore sets its hidden-sector field, which the volume's boot code finds the volume by.
#include <cstdint>
#include <optional>
#include <span>

namespace korvex {

// The bytes a backup boot sector must repeat: the parameter block through the serial number.
inline constexpr std::size_t kNtfsParameterBlockEnd = 0x54;

struct NtfsParameters {
  std::uint32_t bytesPerSector = 0;  // 512..4096, a power of two
  std::uint64_t clusterSectors = 0;  // volume sectors per cluster
  std::uint32_t hiddenSectors = 0;   // the volume's first sector on its disk
  std::uint64_t volumeSectors = 0;   // counted volume sectors; the backup lies in the one after them
  std::uint64_t mftCluster = 0;      // the master file table
  std::uint64_t mirrorCluster = 0;   // its mirror (the first four records)
  std::uint8_t recordCode = 0;       // file record size: clusters, or a negative power of two

  // 512-byte disk sectors per volume sector.
  std::uint64_t Scale() const;
  // The counted sectors in disk sectors: also the backup boot sector's distance from the volume's
  // first sector.
  std::uint64_t DiskSectors() const { return volumeSectors * Scale(); }
  // The disk sector, counted from the volume's first, where a cluster begins.
  std::uint64_t ClusterDiskSector(std::uint64_t cluster) const { return cluster * clusterSectors * Scale(); }
  // Bytes of a file record; 0 for a code that names no size from 512 bytes to 4 KiB.
  std::uint64_t RecordBytes() const;
};

// The parameter block of sector, or nothing when it is no NTFS boot sector: the name "NTFS    ",
// bytes per sector a power of two from 512 to 4096, a cluster size, a sector count, the fields
// that belong to FAT zero, and both record tables inside the volume.
std::optional<NtfsParameters> DecodeNtfsBootSector(std::span<const std::uint8_t> sector);

// Writes first into the hidden-sector field of an NTFS boot sector.
void SetNtfsHiddenSectors(std::span<std::uint8_t> sector, std::uint32_t first);

}  // namespace korvex
