// Creating a partition or logical drive in a free area, and the checks before the dialog opens.
#include <cmath>
#include <optional>

#include "partition/LogicalLevelUpkeep.h"
#include "partition/PartitionEditing.h"
#include "partition/PartitionEntry.h"
#include "partition/SectorRanges.h"
#include "partition/TableReader.h"
#include "partition/TableWriter.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr unsigned kMenuLimit = 12;
constexpr std::uint32_t kMinimumSectors = 2;

double UnitFactor(CreateUnit unit) {
  switch (unit) {
    case CreateUnit::Byte: return 1.0;
    case CreateUnit::KByte: return 1024.0;
    case CreateUnit::MByte: return 1024.0 * 1024.0;
    case CreateUnit::GByte: return 1024.0 * 1024.0 * 1024.0;
  }
  return 1.0;
}

std::uint64_t AlignmentUnit(const CHardDisk& disk, CreateAlignment alignment) {
  switch (alignment) {
    case CreateAlignment::Cylinder: return std::uint64_t{disk.Heads()} * disk.SectorsPerTrack();
    case CreateAlignment::Track: return disk.SectorsPerTrack();
    case CreateAlignment::Sector: return 1;
    case CreateAlignment::MiB: return kMiBSectors;
  }
  return 1;
}

std::int64_t RoundUp(std::int64_t value, std::int64_t unit) { return (value + unit - 1) / unit * unit; }
std::int64_t RoundDown(std::int64_t value, std::int64_t unit) { return value / unit * unit; }

// Where the new partition lies inside the free area, and the free pieces left over before and
// after it.
struct Placement {
  std::uint32_t leadLength = 0;  // free sectors from the free area's start up to the partition
  std::uint32_t start = 0;
  std::uint32_t length = 0;
  std::uint32_t dataOffset = 0;  // a logical drive's record to its data
};

// The 1 MiB layout: the data begins on the first multiple of 2048 sectors in the area (never
// sector 0), a logical drive's record 2048 sectors before it. A part of requested data sectors
// ends before a multiple of 2048 too — rounded up, but not past the area, there rounded down —
// so that the next partition can begin right after it.
std::optional<Placement> PlaceOnMiB(const CPartition& area, bool isLogical, bool wholeSpace, std::uint64_t requested) {
  const std::int64_t mib = kMiBSectors;
  const std::int64_t gap = isLogical ? mib : 0;
  const std::int64_t areaEnd = static_cast<std::int64_t>(area.End());
  const std::int64_t data = RoundUp(std::max<std::int64_t>(area.start + gap, 1), mib);
  std::int64_t end = areaEnd;
  if (!wholeSpace) {
    end = data + static_cast<std::int64_t>(requested);
    if (end < areaEnd) end = RoundUp(end, mib);
    end = RoundDown(std::min(end, areaEnd), mib);
  }
  if (end - data < kMinimumSectors) return std::nullopt;
  const std::int64_t start = data - gap;
  return Placement{static_cast<std::uint32_t>(start - area.start), static_cast<std::uint32_t>(start),
                   static_cast<std::uint32_t>(end - start), static_cast<std::uint32_t>(gap)};
}

// The placement, or nothing when the partition would not reach the minimum size. A primary
// partition never begins in track 0, where the master boot record and the boot engine live.
std::optional<Placement> Place(const CHardDisk& disk, const CPartition& area, bool isLogical,
                               const CreateRequest& request, std::uint64_t requested) {
  const CreateAlignment alignment = request.alignment.value_or(DefaultAlignment(disk));
  if (alignment == CreateAlignment::MiB) return PlaceOnMiB(area, isLogical, request.wholeSpace, requested);
  const std::int64_t track = disk.SectorsPerTrack();
  std::int64_t start = area.start;
  std::int64_t length = area.length;
  std::int64_t lead = 0;
  if (!isLogical && start <= track) {
    length -= track - start;
    start = track;
  } else if (!isLogical && !request.wholeSpace) {
    const std::int64_t aligned = RoundUp(start, static_cast<std::int64_t>(AlignmentUnit(disk, alignment)));
    lead = aligned - start;
    length -= lead;
    start = aligned;
  }
  if (!request.wholeSpace && length > 0) {
    const auto unit = static_cast<std::int64_t>(AlignmentUnit(disk, alignment));
    const std::int64_t areaLast = start + length - 1;
    std::int64_t last = start + static_cast<std::int64_t>(requested) - 1;
    if (static_cast<std::int64_t>(requested) < length) last = RoundUp(last + 1, unit) - 1;
    if (last > areaLast) last = areaLast;
    last = RoundDown(last + 1, unit) - 1;
    length = last - start + 1;
  }
  const std::int64_t minimum = kMinimumSectors + (isLogical ? track : 0);
  if (length < minimum) return std::nullopt;
  // A logical drive's data begins one track after its record.
  return Placement{static_cast<std::uint32_t>(lead), static_cast<std::uint32_t>(start),
                   static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(isLogical ? track : 0)};
}

std::unique_ptr<CPartition> FreePiece(const CHardDisk& disk, std::uint64_t start, std::uint64_t length) {
  auto piece = std::make_unique<CPartition>(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length),
                                            kSlotNone);
  piece->SetFree();
  piece->diskNumber = disk.diskIndex;
  return piece;
}

// The refusal text of a request's type and target, or nothing.
std::optional<std::string> TypeRefusal(const CHardDisk& disk, bool isLogical, const CreateRequest& request) {
  const std::uint8_t type = request.type;
  if (type == kTypeExtended && !disk.logical.empty()) return LoadResString(IDS_ONE_TYPE5_PER_DISK);
  if (request.toMenu && !isLogical) {
    if (type == kTypeExtended) return LoadResString(IDS_TYPE5_NOT_HERE);
    if (type == kTypeExtendedLba) return std::string(text::kType15NotHere);
  }
  if (isLogical && IsExtendedType(type)) return std::string(text::kLogicalNotExtended);
  if (!isLogical && IsExtendedType(type) && disk.FindExtended() != nullptr) return std::string(text::kSecondExtended);
  if (type == 0) return std::string(text::kTypeZeroLine);
  return std::nullopt;
}

// Where the new partition goes: the boot menu, or the partition-table entry (0..3) it gets.
// Nothing after a refusal text.
std::optional<std::uint8_t> TargetSlot(const CHardDisk& disk, bool isLogical, const CreateRequest& request,
                                       std::string& refusal) {
  if (request.tableEntry && (request.toMenu || isLogical)) {
    refusal = text::kTableEntryOnlyForTable;
    return std::nullopt;
  }
  if (request.toMenu) {
    if (isLogical) refusal = text::kLogicalNotInMenu;
    else if (!MenuCanTakeEntry(disk)) refusal = text::kMenuUnavailable;
    return refusal.empty() ? std::optional<std::uint8_t>(kSlotUnplacedMenu) : std::nullopt;
  }
  if (isLogical) return std::uint8_t{0};  // numbered by chain position afterwards
  const auto free = FreeTableEntries(disk);
  if (!request.tableEntry) {
    if (free.empty()) refusal = text::kNoFreeTableEntry;
    return free.empty() ? std::nullopt : std::optional<std::uint8_t>(free.front());
  }
  for (const std::uint8_t entry : free) {
    if (entry + 1 == *request.tableEntry) return entry;
  }
  refusal = StrFormat(text::kTableEntryTaken, static_cast<unsigned>(*request.tableEntry));
  return std::nullopt;
}

// Requested sectors of a partial request, or nothing after a refusal text.
std::optional<std::uint64_t> RequestedSectors(const CreateRequest& request, const CPartition& area,
                                              std::string& refusal) {
  const double bytes = static_cast<double>(request.value) * UnitFactor(request.unit);
  if (!(bytes > 0)) {
    refusal = text::kSizeNotPositive;
    return std::nullopt;
  }
  // The whole count is compared, so that a huge request cannot wrap into a small one.
  if (bytes >= std::ldexp(1.0, 64) || (static_cast<std::uint64_t>(bytes) >> 9) > area.length) {
    refusal = text::kSizeTooLarge;
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(bytes) >> 9;
}

// The refusal text when the sectors [start, start + length) are not all free: a partition or
// logical drive uses one of them (a free area derived around a nested partition, or inside an
// extended partition that overlaps a primary one, can lie over used sectors), they reach past
// the medium or past the last sector a table can name.
std::optional<std::string> SpaceRefusal(const CHardDisk& disk, bool isLogical, std::uint32_t start, std::uint32_t length) {
  const std::uint64_t end = std::uint64_t{start} + length;
  if (end > disk.UsableSectors()) {
    return StrFormat(text::kSpaceBeyondMedium, static_cast<unsigned>(end - 1),
                     static_cast<unsigned long long>(disk.UsableSectors()));
  }
  if (!MbrAddressable(start, length)) return NotAddressableText(start);
  // A logical drive lies inside its extended partition, and only there.
  const CPartition* owner = isLogical ? disk.FindExtended() : nullptr;
  if (const CPartition* used = disk.UsedObjectIn(start, end, {owner})) {
    return StrFormat(text::kSpaceInUse, start, static_cast<unsigned>(end - 1), used->start);
  }
  return std::nullopt;
}

// CreateRefusal for a request with the given alignment (nothing: the disk's default).
std::optional<std::string> CreateRefusalWith(const CHardDisk& disk, const CPartition& freeArea, bool isLogical,
                                             std::optional<CreateAlignment> alignment) {
  if (!freeArea.IsFree()) return std::string(text::kNotAFreeArea);
  if (!isLogical && FreeTableEntries(disk).empty() && !MenuCanTakeEntry(disk)) return std::string(text::kTableFull);
  if (isLogical) {
    // The new drive's record lies where the free area begins.
    const CPartition* ext = disk.FindExtended();
    if (ext != nullptr && ChainRecordCountWith(*ext, disk.logical.Used(), freeArea.start) > kMaxChainRecords) {
      return StrFormat(text::kChainFull, kMaxChainRecords);
    }
  }
  // Where a partition over the whole area would lie; a part of it lies nowhere else.
  CreateRequest whole;
  whole.alignment = alignment;
  const auto placement = Place(disk, freeArea, isLogical, whole, freeArea.length);
  if (!placement) return std::string(text::kPartitionTooSmall);
  return SpaceRefusal(disk, isLogical, placement->start, placement->length);
}

}  // namespace

CreateAlignment DefaultAlignment(const CHardDisk& disk) {
  for (const PartitionLevel* level : {&disk.primary, &disk.logical}) {
    for (const CPartition* p : level->Used()) {
      if (p->DataStart() % kMiBSectors != 0) return CreateAlignment::Cylinder;
    }
  }
  return CreateAlignment::MiB;
}

std::vector<std::uint8_t> FreeTableEntries(const CHardDisk& disk) {
  std::vector<std::uint8_t> entries;
  for (std::uint8_t entry = 0; entry < 4; ++entry) {
    if (entry == 1 && disk.EngineInstalled()) continue;
    const bool taken = disk.primary.FindFirst([&](const CPartition& p) {
      return p.InPartitionTable() && p.slot == entry;
    }) != nullptr;
    if (!taken) entries.push_back(entry);
  }
  return entries;
}

bool MenuCanTakeEntry(const CHardDisk& disk) {
  return disk.EngineInstalled() && disk.MenuEntryCount() < kMenuLimit;
}

bool CanCreatePrimary(const CHardDisk& disk, CPrompt& prompt) {
  if (!FreeTableEntries(disk).empty() || MenuCanTakeEntry(disk)) return true;
  prompt.Message(text::kTableFull, PromptIcon::Information);
  return false;
}

std::optional<std::string> CreateRefusal(const CHardDisk& disk, const CPartition& freeArea, bool isLogical) {
  return CreateRefusalWith(disk, freeArea, isLogical, std::nullopt);
}

bool CreateInFreeArea(WorkingCopy& workingCopy, const ObjectRef& freeArea, const CreateRequest& request,
                      CPrompt& prompt) {
  const auto target = ResolveOrReport(workingCopy, freeArea, prompt);
  if (!target) return false;
  if (target->object->IsFree() && !target->IsLogical() && !CanCreatePrimary(*target->disk, prompt)) return false;
  return CreatePartition(workingCopy, freeArea, request, prompt);
}

bool CreatePartition(WorkingCopy& workingCopy, const ObjectRef& freeAreaRef, const CreateRequest& request,
                     CPrompt& prompt) {
  const auto target = ResolveOrReport(workingCopy, freeAreaRef, prompt);
  if (!target) return false;
  CHardDisk& disk = *target->disk;
  PartitionLevel& level = *target->level;
  CPartition& freeArea = *target->object;
  const bool isLogical = target->IsLogical();
  const auto refuse = [&](const std::string& text) {
    prompt.Message(text, PromptIcon::Stop);
    return false;
  };
  if (auto refusal = CreateRefusalWith(disk, freeArea, isLogical, request.alignment)) return refuse(*refusal);
  if (auto refusal = TypeRefusal(disk, isLogical, request)) return refuse(*refusal);
  std::string refusal;
  const auto slot = TargetSlot(disk, isLogical, request, refusal);
  if (!slot) return refuse(refusal);
  std::uint64_t requested = freeArea.length;
  if (!request.wholeSpace) {
    const auto sectors = RequestedSectors(request, freeArea, refusal);
    if (!sectors) return refuse(refusal);
    requested = *sectors;
  }
  const auto placement = Place(disk, freeArea, isLogical, request, requested);
  if (!placement) return refuse(text::kPartitionTooSmall);
  if (auto used = SpaceRefusal(disk, isLogical, placement->start, placement->length)) return refuse(*used);

  const std::uint64_t areaEnd = freeArea.End();
  if (placement->leadLength > 0) level.Insert(FreePiece(disk, freeArea.start, placement->leadLength));
  freeArea.start = placement->start;
  freeArea.length = placement->length;
  if (freeArea.End() < areaEnd) level.Insert(FreePiece(disk, freeArea.End(), areaEnd - freeArea.End()));

  if (request.toMenu) {
    freeArea.MarkNew(PartitionState::NewMenu);
    freeArea.SetTitle(LoadResString(IDS_NEW_TITLE));
  } else {
    freeArea.MarkNew(PartitionState::NewTable);
  }
  freeArea.slot = *slot;
  freeArea.type = request.type;
  freeArea.destructive = request.destructive;
  if (isLogical) freeArea.dataOffset = placement->dataOffset;
  if (!isLogical && freeArea.IsExtended()) {
    // The new extended partition owns the logical level, which starts as one free area; the save
    // writes an empty first record at its start.
    freeArea.destructive = true;
    freeArea.holdsLogicalDrives = true;
    disk.logical.Insert(FreePiece(disk, freeArea.start, freeArea.length));
  }
  level.SortByStart();
  if (isLogical) NumberLogicalDrives(disk);
  if (request.toMenu) disk.RenumberMenu();  // the new entry takes the position after the last
  disk.MarkModified();
  return true;
}

}  // namespace korvex
