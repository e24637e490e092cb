#include "analysis/AdoptHit.h"

#include "analysis/DriveSectors.h"
#include "analysis/SectorClassifier.h"
#include "partition/AdoptVolume.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::uint64_t kSmallFat16Sectors = 65536;  // fits the 16-bit sector count of DOS 3
constexpr std::uint64_t kChsCylinders = 1024;

// The sectors whose hits can name sector: the sector itself, the superblock two sectors on and
// the swap signature seven sectors on.
constexpr std::uint64_t kNamingOffsets[] = {0, 2, kMaxLookBehind};

}  // namespace

std::uint8_t FittingType(const CPhysicalDrive& geometry, const ScanHit& hit) {
  const std::uint64_t length = hit.range ? hit.range->length : 0;
  const std::uint64_t perCylinder = std::uint64_t{geometry.Heads()} * geometry.SectorsPerTrack();
  switch (hit.fileSystem) {
    case FileSystemKind::Fat12: return 0x01;
    case FileSystemKind::Fat16: return length < kSmallFat16Sectors ? 0x04 : 0x06;
    case FileSystemKind::Fat32: {
      const bool withinChs = hit.range && perCylinder != 0 && (hit.range->End() - 1) / perCylinder < kChsCylinders;
      return withinChs ? 0x0B : 0x0C;
    }
    case FileSystemKind::Ntfs: return 0x07;
    case FileSystemKind::Ext2:
    case FileSystemKind::Ext3:
    case FileSystemKind::Ext4: return 0x83;
    case FileSystemKind::LinuxSwap: return 0x82;
    case FileSystemKind::None: return 0;
  }
  return 0;
}

std::optional<ScanHit> HitAtSector(CPhysicalDrive& drive, std::uint64_t sector) {
  DriveSectors sectors(drive, SearchSectors(drive));
  std::optional<ScanHit> found;
  for (const std::uint64_t offset : kNamingOffsets) {
    SectorBytes bytes{};
    if (!sectors.ReadSector(sector + offset, bytes) || !MayHoldHit(bytes)) continue;
    for (ScanHit& hit : ClassifySector(ProbeContext{sector + offset, bytes, sectors, sectors.MediumSectors()})) {
      if (hit.sector != sector) continue;
      if (hit.DescribesVolume()) return hit;
      if (!found || (found->kind != HitKind::FileSystem && hit.kind == HitKind::FileSystem)) found = hit;
    }
  }
  return found;
}

CPartition* AdoptHit(CHardDisk& disk, const ScanHit& hit, std::optional<std::uint8_t> type, CPrompt& prompt) {
  if (!hit.DescribesVolume()) {
    prompt.Message(text::kAdoptNoVolume, PromptIcon::Stop);
    return nullptr;
  }
  if (hit.range->End() - 1 > UINT32_MAX) {
    prompt.Message(text::kAdoptPastTables, PromptIcon::Stop);
    return nullptr;
  }
  const FoundVolume volume{static_cast<std::uint32_t>(hit.range->start), static_cast<std::uint32_t>(hit.range->length),
                           type.value_or(FittingType(disk, hit))};
  return AdoptVolume(disk, volume, prompt);
}

}  // namespace korvex
