#include "volumes/NtfsBootSector.h"

#include "platform/DiskGeometry.h"
#include "platform/OnDiskFields.h"

namespace korvex {
namespace {

// Offsets of the parameter block.
constexpr std::size_t kOemName = 0x03;
constexpr std::size_t kBytesPerSector = 0x0B;
constexpr std::size_t kClusterCode = 0x0D;
constexpr std::size_t kHiddenSectors = 0x1C;
constexpr std::size_t kVolumeSectors = 0x28;
constexpr std::size_t kMftCluster = 0x30;
constexpr std::size_t kMirrorCluster = 0x38;
constexpr std::size_t kRecordCode = 0x40;
// Fields of a FAT parameter block that NTFS keeps zero: reserved sectors, FATs, root entries,
// 16-bit sector count, FAT size (2, 1, 2, 2, 2 bytes) and the 32-bit sector count.
constexpr std::size_t kFatFields[][2] = {{0x0E, 2}, {0x10, 1}, {0x11, 2}, {0x13, 2}, {0x16, 2}, {0x20, 4}};

constexpr std::uint32_t kLargestSector = 4096;
constexpr unsigned kLargestClusterShift = 12;
constexpr unsigned kSmallestRecordShift = 9, kLargestRecordShift = 12;

bool PowerOfTwo(std::uint64_t value) { return value != 0 && (value & (value - 1)) == 0; }

// Sectors per cluster: the byte itself up to 80h, above that a power of two 2^(256 - byte).
std::uint64_t ClusterSectors(std::uint8_t code) {
  if (code <= 0x80) return PowerOfTwo(code) ? code : 0;
  const unsigned shift = 256u - code;
  return shift <= kLargestClusterShift ? std::uint64_t{1} << shift : 0;
}

}  // namespace

std::uint64_t NtfsParameters::Scale() const { return bytesPerSector / kSectorSize; }

std::uint64_t NtfsParameters::RecordBytes() const {
  const auto signedCode = static_cast<std::int8_t>(recordCode);
  if (signedCode > 0) return static_cast<std::uint64_t>(signedCode) * clusterSectors * bytesPerSector;
  const int shift = -signedCode;
  return shift >= static_cast<int>(kSmallestRecordShift) && shift <= static_cast<int>(kLargestRecordShift)
             ? std::uint64_t{1} << shift
             : 0;
}

std::optional<NtfsParameters> DecodeNtfsBootSector(std::span<const std::uint8_t> sector) {
  if (!HasTextAt(sector, kOemName, "NTFS    ")) return std::nullopt;
  NtfsParameters ntfs;
  ntfs.bytesPerSector = ReadLe16(sector, kBytesPerSector);
  ntfs.clusterSectors = ClusterSectors(static_cast<std::uint8_t>(ReadLe(sector, kClusterCode, 1)));
  ntfs.hiddenSectors = ReadLe32(sector, kHiddenSectors);
  ntfs.volumeSectors = ReadLe64(sector, kVolumeSectors);
  ntfs.mftCluster = ReadLe64(sector, kMftCluster);
  ntfs.mirrorCluster = ReadLe64(sector, kMirrorCluster);
  ntfs.recordCode = static_cast<std::uint8_t>(ReadLe(sector, kRecordCode, 1));
  if (ntfs.bytesPerSector < kSectorSize || ntfs.bytesPerSector > kLargestSector || !PowerOfTwo(ntfs.bytesPerSector)) {
    return std::nullopt;
  }
  if (ntfs.clusterSectors == 0 || ntfs.volumeSectors == 0) return std::nullopt;
  for (const auto& [offset, width] : kFatFields) {
    if (ReadLe(sector, offset, width) != 0) return std::nullopt;
  }
  const std::uint64_t clusters = ntfs.volumeSectors / ntfs.clusterSectors;
  if (ntfs.mftCluster >= clusters || ntfs.mirrorCluster >= clusters) return std::nullopt;
  return ntfs;
}

void SetNtfsHiddenSectors(std::span<std::uint8_t> sector, std::uint32_t first) {
  WriteLe32(sector, kHiddenSectors, first);
}

}  // namespace korvex
