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

// A logical drive's extended boot record goes where the free space before the volume begins
// when that is at most this far away: a 1-MiB layout leaves 2048 sectors between record and
// data, the classic layout one track. Further away it goes one track before the volume, the
// program's own spacing, so the free space before stays usable.
constexpr std::uint64_t kFarthestRecord = 2048;

// Where the extended boot record of a logical drive whose data begins at dataStart goes inside
// ext, or nothing when no free sector precedes the data.
std::optional<std::uint64_t> RecordPlace(const CHardDisk& disk, const CPartition& ext, std::uint64_t dataStart) {
  std::uint64_t freeFrom = ext.start;
  for (const CPartition* p : disk.logical.Used()) {
    if (p->End() <= dataStart) freeFrom = std::max(freeFrom, p->End());
  }
  if (freeFrom >= dataStart) return std::nullopt;
  if (dataStart - freeFrom <= kFarthestRecord) return freeFrom;
  return dataStart - disk.SectorsPerTrack();
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
  std::unique_ptr<CPartition> adopted;
  if (insideExtended) {
    if (FirstSharingObject(disk.logical, start, volume.length) != nullptr) return refuse(range(text::kAdoptOverlap));
    const auto record = RecordPlace(disk, *ext, start);
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

  PartitionLevel& level = insideExtended ? disk.logical : disk.primary;
  CPartition* placed = level.Find(level.Insert(std::move(adopted)));
  level.SortByStart();
  if (insideExtended) NumberLogicalDrives(disk);
  RebuildFreeAreas(disk);
  disk.MarkModified();
  return placed;
}

}  // namespace korvex
