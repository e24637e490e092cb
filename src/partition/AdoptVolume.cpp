#include "partition/AdoptVolume.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "partition/LogicalLevelUpkeep.h"
#include "partition/PartitionEditing.h"
#include "partition/PartitionEntry.h"
#include "partition/SectorRanges.h"
#include "partition/TableReader.h"
#include "partition/TableWriter.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// The farthest a logical drive's extended boot record may lie before its data and still take the
// first free sector: a 1-MiB layout leaves 2048 sectors between them, the classic layout a track.
constexpr std::uint64_t kFarthestRecord = 2048;

// Where the extended boot record of a logical drive whose data begins at dataStart goes inside
// ext, or nothing when no free sector precedes the data: where the free space before the volume
// begins when that is at most kFarthestRecord away; further away one track before the volume,
// the program's own spacing, so the free space before stays usable.
std::optional<std::uint64_t> RecordPlace(const CHardDisk& disk, const CPartition& ext, std::uint64_t dataStart) {
  std::uint64_t freeFrom = ext.start;
  for (const CPartition* p : disk.logical.Used()) {
    if (p->End() <= dataStart) freeFrom = std::max(freeFrom, p->End());
  }
  if (freeFrom >= dataStart) return std::nullopt;
  if (dataStart - freeFrom <= kFarthestRecord) return freeFrom;
  return dataStart - disk.SectorsPerTrack();
}

// A given record place: inside ext, before the volume, and free up to the volume.
std::optional<std::uint64_t> KnownRecordPlace(const CHardDisk& disk, const CPartition& ext, std::uint64_t record,
                                              std::uint64_t dataStart) {
  if (record < ext.start || record >= dataStart ||
      FirstSharingObject(disk.logical, record, dataStart - record) != nullptr) {
    return std::nullopt;
  }
  return record;
}

// What an extended adoption changes besides adding objects: the free areas of both levels and
// the modified mark, kept to be put back when one of its drives is refused.
struct DiskBefore {
  explicit DiskBefore(const CHardDisk& disk) : modified(disk.IsModified()) {
    for (const auto& item : disk.primary.items()) {
      if (item.object->IsFree()) primaryFree.push_back(*item.object);
    }
    for (const auto& item : disk.logical.items()) {
      if (item.object->IsFree()) logicalFree.push_back(*item.object);
    }
  }
  std::vector<CPartition> primaryFree;
  std::vector<CPartition> logicalFree;
  bool modified;
};

// Takes back what an extended adoption added: its drives, the extended partition when it was
// new, and the free areas and modified mark as they were.
void UndoExtendedAdoption(CHardDisk& disk, const DiskBefore& before, const CPartition* newExtended,
                          const std::vector<CPartition*>& drives) {
  for (const CPartition* drive : drives) disk.logical.RemoveIf([&](const CPartition& p) { return &p == drive; });
  if (newExtended != nullptr) disk.primary.RemoveIf([&](const CPartition& p) { return &p == newExtended; });
  for (auto [level, free] : {std::pair{&disk.primary, &before.primaryFree}, std::pair{&disk.logical, &before.logicalFree}}) {
    level->RemoveFree();
    for (const CPartition& area : *free) level->Insert(std::make_unique<CPartition>(area));
    level->SortByStart();
  }
  NumberLogicalDrives(disk);
  if (!before.modified) disk.MarkSaved();
}

}  // namespace

CPartition* AdoptVolume(CHardDisk& disk, const FoundVolume& volume, CPrompt& prompt) {
  const auto refuse = [&](const std::string& text) -> CPartition* {
    prompt.Message(text, PromptIcon::Stop);
    return nullptr;
  };
  const std::uint64_t start = volume.start;
  const std::uint64_t end = start + volume.length;
  const auto range = [&](const char* format) {
    return StrFormat(format, volume.start, static_cast<std::uint32_t>(end - 1));
  };
  if (disk.gpt) return refuse(StrFormat(text::kAdoptGpt, disk.DeviceName().c_str()));
  if (volume.type == 0 || IsExtendedType(volume.type)) return refuse(text::kAdoptTypeInvalid);
  if (volume.length == 0 || end > disk.UsableSectors()) return refuse(text::kAdoptPastDiskEnd);
  if (!MbrAddressable(start, volume.length)) return refuse(NotAddressableText(start));

  const CPartition* ext = disk.FindExtended();
  const bool insideExtended = ext != nullptr && start >= ext->start && end <= ext->End();
  if (volume.record && !insideExtended) return refuse(range(text::kAdoptAcrossExtended));
  std::unique_ptr<CPartition> adopted;
  if (insideExtended) {
    if (FirstSharingObject(disk.logical, start, volume.length) != nullptr) return refuse(range(text::kAdoptOverlap));
    const auto record =
        volume.record ? KnownRecordPlace(disk, *ext, *volume.record, start) : RecordPlace(disk, *ext, start);
    if (!record) return refuse(text::kAdoptNoRoomForRecord);
    if (ChainRecordCountWith(*ext, disk.logical.Used(), *record) > kMaxChainRecords) {
      return refuse(StrFormat(text::kChainFull, kMaxChainRecords));
    }
    adopted = std::make_unique<CPartition>(static_cast<std::uint32_t>(*record), static_cast<std::uint32_t>(end - *record), 0);
    adopted->dataOffset = static_cast<std::uint32_t>(start - *record);
  } else {
    if (ext != nullptr && RunsShareSector(start, volume.length, ext->start, ext->length)) {
      return refuse(range(text::kAdoptAcrossExtended));
    }
    if (start < disk.SectorsPerTrack()) return refuse(text::kAdoptInTrackZero);
    if (FirstSharingObject(disk.primary, start, volume.length) != nullptr) return refuse(range(text::kAdoptOverlap));
    const auto entries = FreeTableEntries(disk);
    if (entries.empty()) return refuse(text::kTableFull);
    adopted = std::make_unique<CPartition>(volume.start, volume.length, entries.front());
  }
  adopted->MarkNew(PartitionState::NewTable);
  adopted->destructive = false;  // the volume's own first sectors must survive the save
  adopted->type = volume.type;
  adopted->diskNumber = disk.diskIndex;
  if (volume.bootSector) adopted->bootSectorRestore = SectorRestore{volume.start, *volume.bootSector};

  PartitionLevel& level = insideExtended ? disk.logical : disk.primary;
  CPartition* placed = level.Find(level.Insert(std::move(adopted)));
  level.SortByStart();
  if (insideExtended) NumberLogicalDrives(disk);
  RebuildFreeAreas(disk);
  disk.MarkModified();
  return placed;
}

CPartition* AdoptExtended(CHardDisk& disk, const FoundExtended& found, CPrompt& prompt) {
  const auto refuse = [&](const std::string& text) -> CPartition* {
    prompt.Message(text, PromptIcon::Stop);
    return nullptr;
  };
  const std::uint64_t start = found.start;
  const std::uint64_t end = start + found.length;
  if (disk.gpt) return refuse(StrFormat(text::kAdoptGpt, disk.DeviceName().c_str()));
  if (!IsExtendedType(found.type)) return refuse(text::kAdoptExtendedType);
  if (found.drives.empty()) return refuse(text::kAdoptExtendedWithoutDrives);
  if (found.length == 0 || end > disk.UsableSectors()) return refuse(text::kAdoptPastDiskEnd);
  if (!MbrAddressable(start, found.length)) return refuse(NotAddressableText(start));
  CPartition* ext = disk.FindExtended();
  if (ext != nullptr && ext->start != start) return refuse(text::kSecondExtended);
  std::optional<std::uint8_t> entry;
  if (ext == nullptr) {
    if (start < disk.SectorsPerTrack()) return refuse(text::kAdoptInTrackZero);
    if (FirstSharingObject(disk.primary, start, found.length) != nullptr) {
      return refuse(StrFormat(text::kAdoptOverlap, found.start, static_cast<std::uint32_t>(end - 1)));
    }
    const auto entries = FreeTableEntries(disk);
    if (entries.empty()) return refuse(text::kTableFull);
    entry = entries.front();
  }

  const DiskBefore before(disk);
  CPartition* newExtended = nullptr;
  if (ext == nullptr) {
    auto adopted = std::make_unique<CPartition>(found.start, found.length, *entry);
    adopted->MarkNew(PartitionState::NewTable);
    adopted->destructive = false;  // the chain written at the save replaces whatever lies at its start
    adopted->holdsLogicalDrives = true;
    adopted->type = found.type;
    adopted->diskNumber = disk.diskIndex;
    ext = newExtended = disk.primary.Find(disk.primary.Insert(std::move(adopted)));
    disk.primary.SortByStart();
    RebuildFreeAreas(disk);
  }
  std::vector<CPartition*> drives;
  for (const FoundVolume& drive : found.drives) {
    CPartition* placed = AdoptVolume(disk, drive, prompt);
    if (placed == nullptr) {
      UndoExtendedAdoption(disk, before, newExtended, drives);
      return nullptr;
    }
    drives.push_back(placed);
  }
  disk.MarkModified();
  return ext;
}

}  // namespace korvex
