// FAT12/16/32 boot sectors: the BIOS parameter block checked field by field, the FAT type by
// its layout and cluster count, the label of the extended parameter block.
#include <algorithm>

#include "analysis/BootSectorCopies.h"
#include "platform/OnDiskFields.h"
#include "analysis/VolumeProbes.h"
#include "platform/Cp437.h"
#include "platform/DiskGeometry.h"

namespace korvex {
namespace {

constexpr std::uint32_t kFat12MaxClusters = 4084;
constexpr std::uint8_t kExtendedBootSignature = 0x29;  // the volume id and label follow
constexpr std::size_t kFat32BackupOffset = 0x32;
constexpr std::size_t kParameterBlockEnd = 0x5A;  // end of the FAT32 extended parameter block

bool PowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

bool HasJump(std::span<const std::uint8_t> sector) {
  return (sector[0] == 0xEB && sector[2] == 0x90) || sector[0] == 0xE9;
}

std::string Label(std::span<const std::uint8_t> sector, bool fat32) {
  if (sector[fat32 ? 0x42 : 0x26] != kExtendedBootSignature) return "";
  std::string label = FixedText(sector, fat32 ? 0x47 : 0x2B, 11);
  return label == "NO NAME" ? "" : Cp437ToUtf8(label);
}

// The first FAT begins with entry 0: the media byte, then ones (FAT32 keeps 28 bits of them).
bool FatBeginsAt(const ProbeContext& context, std::uint64_t lba, std::uint8_t media) {
  SectorBytes fat{};
  return context.around.ReadSector(lba, fat) && fat[0] == media && fat[1] == 0xFF && fat[2] == 0xFF &&
         (fat[3] & 0x0F) == 0x0F;
}

}  // namespace

std::optional<ScanHit> ProbeFatBootSector(const ProbeContext& context) {
  const auto s = context.sector;
  if (!HasJump(s)) return std::nullopt;
  const std::uint32_t bytesPerSector = ReadLe16(s, 0x0B);
  const std::uint32_t clusterSectors = s[0x0D];
  const std::uint32_t reserved = ReadLe16(s, 0x0E);
  const std::uint32_t fats = s[0x10];
  const std::uint32_t rootEntries = ReadLe16(s, 0x11);
  const std::uint8_t media = s[0x15];
  const std::uint32_t fatSize16 = ReadLe16(s, 0x16);
  const bool fat32 = fatSize16 == 0;
  const std::uint64_t fatSize = fat32 ? ReadLe32(s, 0x24) : fatSize16;
  const std::uint64_t total = ReadLe16(s, 0x13) != 0 ? ReadLe16(s, 0x13) : ReadLe32(s, 0x20);
  if (bytesPerSector < kSectorSize || bytesPerSector > 4096 || !PowerOfTwo(bytesPerSector)) return std::nullopt;
  if (!PowerOfTwo(clusterSectors) || reserved == 0 || fats == 0 || fatSize == 0) return std::nullopt;
  if (media != 0xF0 && media < 0xF8) return std::nullopt;
  if (fat32 != (rootEntries == 0)) return std::nullopt;  // FAT32 keeps its root directory in clusters
  const std::uint64_t rootSectors = (std::uint64_t{rootEntries} * 32 + bytesPerSector - 1) / bytesPerSector;
  const std::uint64_t metadata = reserved + fats * fatSize + rootSectors;
  if (total <= metadata) return std::nullopt;
  const std::uint64_t clusters = (total - metadata) / clusterSectors;
  if (clusters == 0) return std::nullopt;

  const std::uint64_t scale = bytesPerSector / kSectorSize;
  std::uint64_t start = context.lba;
  if (fat32 && total < context.mediumSectors / scale) {
    // The backup lies among the reserved sectors; a field pointing elsewhere names none.
    const std::uint64_t backupOffset = ReadLe16(s, kFat32BackupOffset) < reserved ? ReadLe16(s, kFat32BackupOffset) : 0;
    const CopyLayout layout{backupOffset * scale, total * scale, kParameterBlockEnd,
                            [&](std::uint64_t at) { return FatBeginsAt(context, at + reserved * scale, media); }};
    switch (CopyRoleOf(context, layout)) {
      case CopyRole::Original: break;
      case CopyRole::BackupOfLost: start = context.lba - layout.distance; break;
      case CopyRole::BackupOfIntact: return BackupOf(context, context.lba - layout.distance);
    }
  }
  ScanHit hit{context.lba, HitKind::FileSystem, FileSystemKind::Fat32, Label(s, fat32), std::nullopt};
  if (!fat32) hit.fileSystem = clusters <= kFat12MaxClusters ? FileSystemKind::Fat12 : FileSystemKind::Fat16;
  hit.throughBackup = start != context.lba;
  hit.range = RangeOnMedium(start, total * scale, context.mediumSectors);
  return hit;
}

}  // namespace korvex
