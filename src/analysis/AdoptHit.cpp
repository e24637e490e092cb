#include "analysis/AdoptHit.h"

#include "analysis/DiskScan.h"
#include "analysis/DriveSectors.h"
#include "analysis/SectorClassifier.h"
#include "analysis/VolumeIdentity.h"
#include "analysis/VolumeProbes.h"
#include "partition/AdoptVolume.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

std::uint64_t SectorsPerCylinder(const CPhysicalDrive& drive) {
  return std::uint64_t{drive.Heads()} * drive.SectorsPerTrack();
}

// A logical drive as the record that describes it tells it.
struct DriveRecord {
  std::uint64_t record = 0;
  std::uint32_t length = 0;
  std::uint8_t type = 0;
};

// The extended boot record nearest before start (at most kFarthestRecord sectors) whose drive
// begins at start.
std::optional<DriveRecord> RecordNaming(CPhysicalDrive& drive, std::uint64_t start) {
  const std::uint64_t first = start - std::min<std::uint64_t>(start, kFarthestRecord);
  const auto count = static_cast<std::uint32_t>(start - first);
  DriveSectors sectors(drive, SearchSectors(drive));
  std::vector<std::uint8_t> bytes(std::size_t{count} * kSectorSize);
  std::vector<SectorRun> unreadable;
  sectors.ReadRun(first, count, bytes, unreadable);
  for (std::uint32_t i = count; i-- > 0;) {
    const auto sector = std::span<const std::uint8_t>(bytes).subspan(std::size_t{i} * kSectorSize, kSectorSize);
    const auto record = ProbeExtendedRecord(ProbeContext{first + i, sector, sectors, sectors.MediumSectors()});
    if (record && record->HasDrive() && first + i + record->driveOffset == start) {
      return DriveRecord{first + i, record->driveLength, record->driveType};
    }
  }
  return std::nullopt;
}

// The boot sector to write back to the first sector of a volume found through the backup at
// backup; nothing after a stop message when the backup cannot be read, or when another file
// system begins at start (its boot sector is not overwritten).
std::optional<SectorBytes> BootSectorFromBackup(CPhysicalDrive& drive, std::uint64_t start, std::uint64_t backup,
                                                CPrompt& prompt) {
  DriveSectors sectors(drive, SearchSectors(drive));
  for (const ScanHit& other : ClassifyAt(sectors, start, sectors.MediumSectors())) {
    if (other.kind != HitKind::FileSystem) continue;
    prompt.Message(StrFormat(text::kAdoptOtherFileSystemAtStart, static_cast<unsigned long long>(start),
                             FileSystemName(other.fileSystem)),
                   PromptIcon::Stop);
    return std::nullopt;
  }
  SectorBytes bytes{};
  if (!sectors.ReadSector(backup, bytes)) {
    const auto unreadable = static_cast<unsigned long long>(backup);
    prompt.Message(StrFormat(text::kSectorUnreadable, unreadable, drive.DeviceName().c_str()), PromptIcon::Stop);
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

std::optional<ScanHit> HitAtSector(CPhysicalDrive& drive, std::uint64_t sector) {
  DriveSectors sectors(drive, SearchSectors(drive));
  std::optional<ScanHit> found;
  for (ScanHit& hit : HitsNaming(sectors, sector, sectors.MediumSectors())) {
    if (hit.DescribesVolume()) return hit;
    if (!found || (found->kind != HitKind::FileSystem && hit.kind == HitKind::FileSystem)) found = hit;
  }
  return found;
}

CPartition* AdoptHit(CHardDisk& disk, const ScanHit& hit, std::optional<std::uint8_t> type,
                     const std::vector<LostExtended>& lost, CPrompt& prompt) {
  const auto refuse = [&](const std::string& text) -> CPartition* {
    prompt.Message(text, PromptIcon::Stop);
    return nullptr;
  };
  if (!hit.DescribesVolume()) return refuse(text::kAdoptNoVolume);
  const VolumeRange& range = *hit.range;
  if (range.End() - 1 > UINT32_MAX) return refuse(text::kAdoptPastTables);
  const auto start = static_cast<std::uint32_t>(range.start);
  FoundVolume volume{start, static_cast<std::uint32_t>(range.length),
                     type.value_or(FittingType(hit.fileSystem, range, SectorsPerCylinder(disk))), std::nullopt};

  // Is it a logical drive, and where was its record?
  const LostExtended* owner = nullptr;
  std::optional<DriveRecord> record;
  for (const LostExtended& extended : lost) {
    if (range.start < extended.range.start || range.start >= extended.range.End()) continue;
    owner = &extended;
    for (const LostDrive& drive : extended.drives) {
      if (drive.data.start != range.start) continue;
      record = DriveRecord{drive.record, static_cast<std::uint32_t>(drive.data.length), drive.type};
    }
  }
  if (hit.throughBackup) {
    volume.bootSector = BootSectorFromBackup(disk, range.start, hit.sector, prompt);
    if (!volume.bootSector) return nullptr;
  }
  if (owner == nullptr) record = RecordNaming(disk, range.start);
  if (owner == nullptr && !record) return AdoptVolume(disk, volume, prompt);

  const CPartition* ext = disk.FindExtended();
  if (ext == nullptr || range.start < ext->start || range.End() > ext->End()) {
    if (owner != nullptr) {
      return refuse(StrFormat(text::kAdoptInLostExtended, start, static_cast<std::uint32_t>(owner->range.start)));
    }
    return refuse(StrFormat(text::kAdoptNamedByRecord, start, static_cast<std::uint32_t>(record->record)));
  }
  if (record) {
    // The partition's own length and type, not the file system's (which may round its size).
    volume.record = static_cast<std::uint32_t>(record->record);
    volume.length = record->length;
    if (!type) volume.type = record->type;
  }
  return AdoptVolume(disk, volume, prompt);
}

CPartition* AdoptLostExtended(CHardDisk& disk, const LostExtended& lost, CPrompt& prompt) {
  if (lost.range.End() - 1 > UINT32_MAX) {
    prompt.Message(text::kAdoptPastTables, PromptIcon::Stop);
    return nullptr;
  }
  FoundExtended found{static_cast<std::uint32_t>(lost.range.start), static_cast<std::uint32_t>(lost.range.length),
                      lost.type, {}};
  for (const LostDrive& drive : lost.drives) {
    FoundVolume volume{static_cast<std::uint32_t>(drive.data.start), static_cast<std::uint32_t>(drive.data.length),
                       drive.type, static_cast<std::uint32_t>(drive.record)};
    if (drive.bootBackup) {
      volume.bootSector = BootSectorFromBackup(disk, drive.data.start, *drive.bootBackup, prompt);
      if (!volume.bootSector) return nullptr;
    }
    found.drives.push_back(volume);
  }
  return AdoptExtended(disk, found, prompt);
}

CPartition* SearchAndAdopt(CHardDisk& disk, std::uint64_t sector, std::optional<std::uint8_t> type,
                           IProgressSink& progress, const StopFlag& stop, CPrompt& prompt) {
  ScanResults results;
  const WorkOutcome outcome = ScanDisk(disk, results, progress, stop, nullptr);
  ShowOutcome(outcome, prompt);
  if (outcome.end == WorkEnd::Cancelled) prompt.Message(text::kScanCancelled, PromptIcon::Stop);
  if (!outcome.Succeeded()) return nullptr;
  for (LostExtended lost : results.extended) {
    if (lost.range.start != sector) continue;
    if (type) lost.type = *type;
    return AdoptLostExtended(disk, lost, prompt);
  }
  for (const ScanHit& hit : results.hits) {
    if (hit.DescribesVolume() && hit.range->start == sector) return AdoptHit(disk, hit, type, results.extended, prompt);
  }
  prompt.Message(StrFormat(text::kAdoptNothingAt, static_cast<unsigned long long>(sector)), PromptIcon::Stop);
  return nullptr;
}

}  // namespace korvex
