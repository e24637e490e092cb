#include "partition/DiskSaver.h"

#include <algorithm>
#include <cerrno>
#include <iterator>

#include "partition/DiskState.h"
#include "partition/MountedChanges.h"
#include "partition/PartitionEntry.h"
#include "partition/SectorRanges.h"
#include "partition/TableReader.h"
#include "partition/TableWriter.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "platform/TransferErrors.h"

namespace korvex {
namespace {

constexpr std::uint8_t kVersionMajorDigit = '4';
constexpr std::uint8_t kInstalledMinorDigit = '1';

// One sector to write, in the order of the plan.
struct PlannedWrite {
  std::uint32_t lba;
  std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> span) { return {span.begin(), span.end()}; }
std::vector<std::uint8_t> Zeros() { return std::vector<std::uint8_t>(kSectorSize, 0); }

// Sectors a write may reach: the medium itself; nothing when its size is not known.
std::optional<std::uint64_t> KnownMediumSectors(const CHardDisk& disk) {
  const std::uint64_t sectors = disk.MediumSectors();
  return sectors == 0 ? std::nullopt : std::optional<std::uint64_t>(sectors);
}

std::string Where(CHardDisk& disk) {
  return disk.Transport() != nullptr ? disk.Transport()->Describe() : disk.DeviceName();
}

// A refusal text when the disk must not be written at all.
std::optional<std::string> Refusal(CHardDisk& disk, const CPartition* ext) {
  const char* name = disk.DeviceName().c_str();
  if (!disk.readFailures.empty()) {
    const ReadFailure& failure = disk.readFailures.front();
    return StrFormat(text::kReadFailedRefused, name, failure.lba, TransferErrorText(failure.error).c_str());
  }
  if (disk.logicalChainBroken) return StrFormat(text::kChainBrokenRefused, name);
  if (disk.gpt) return StrFormat(text::kGptRefused, name);
  if (auto* transport = disk.Transport(); transport != nullptr) {
    if (transport->IsReadOnly()) return StrFormat(text::kReadOnlyRefused, name, transport->Describe().c_str());
    if (const auto now = transport->QueryGeometry(); !now || !disk.SameGeometry(*now)) {
      return StrFormat(LoadResString(IDS_GEOMETRY_MISMATCH).c_str(), static_cast<int>(disk.DeviceNumber()));
    }
  }
  if (auto slots = CheckTableSlots(disk)) return slots;
  if (disk.EngineInstalled() && disk.MenuEntryCount() > layout::CONST_MENU_ENTRIES) {
    return StrFormat(text::kMenuTooLong, name);
  }
  if (ext != nullptr) {
    const auto drives = disk.logical.Used();
    for (const CPartition* drive : drives) {
      if (drive->start < ext->start || drive->End() > ext->End()) {
        return StrFormat(text::kLogicalOutsideRefused, name, drive->start);
      }
    }
    if (const std::size_t records = ChainRecordCount(*ext, drives); records > kMaxChainRecords) {
      return StrFormat(text::kChainTooLongRefused, name, records, kMaxChainRecords);
    }
  }
  for (const PartitionLevel* level : {&disk.primary, &disk.logical}) {
    if (const auto pair = OverlappingPair(*level)) {
      return StrFormat(text::kOverlapRefused, name, pair->first->start, pair->second->start);
    }
    for (const CPartition* p : level->Used()) {
      if (!MbrAddressable(p->start, p->length)) return StrFormat(text::kNotAddressableRefused, name, p->start);
    }
  }
  if (disk.EngineInstalled() || disk.engineAreaToWrite) {
    if (const CPartition* covered = disk.PartitionInEngineTrack()) {
      return StrFormat(text::kEngineTrackCovered, name, covered->start);
    }
  }
  return std::nullopt;
}

// No save replaces tables that describe partitions with tables that describe none without
// the user's yes.
bool ConfirmNotEmptied(CHardDisk& disk, CPrompt& prompt) {
  if (disk.partitionsOnDisk == 0 || !RangesTheSaveWrites(disk).empty()) return true;
  const std::string question = StrFormat(text::kEmptyTableQuestion, disk.DeviceName().c_str(), disk.partitionsOnDisk);
  if (prompt.Ask(question, PromptButtons::YesNoDefaultNo, PromptIcon::Exclamation) == PromptAnswer::Yes) return true;
  prompt.Message(StrFormat(text::kEmptyTableDeclined, disk.DeviceName().c_str()), PromptIcon::Information);
  return false;
}

// Zeroes the first sector and the sector one track later of a new destructive partition,
// never a sector outside the partition itself.
void PlanZeroing(const CHardDisk& disk, std::uint64_t first, std::uint64_t end, std::vector<PlannedWrite>& plan) {
  for (const std::uint64_t lba : {first, first + disk.SectorsPerTrack()}) {
    if (lba < end) plan.push_back({static_cast<std::uint32_t>(lba), Zeros()});
  }
}

// The boot sectors of volumes adopted through their backup boot sector, each written to the
// volume's first sector while the partition still begins there.
void PlanBootSectorRestores(const CHardDisk& disk, std::vector<PlannedWrite>& plan) {
  for (const PartitionLevel* level : {&disk.primary, &disk.logical}) {
    for (const CPartition* p : level->Used()) {
      if (p->bootSectorRestore && p->bootSectorRestore->lba == p->DataStart()) {
        plan.push_back({p->bootSectorRestore->lba, Bytes(p->bootSectorRestore->bytes)});
      }
    }
  }
}

void ForgetBootSectorRestores(CHardDisk& disk) {
  for (const PartitionLevel* level : {&disk.primary, &disk.logical}) {
    for (CPartition* p : level->Used()) p->bootSectorRestore.reset();
  }
}

// The records of the logical part: the chain, or an empty record that ends it. In chain order;
// the plan writes them from the last to the first, so that a record is on the disk before the
// link that reaches it.
std::vector<PlannedWrite> ChainRecords(CHardDisk& disk, const CPartition* ext) {
  std::vector<PlannedWrite> records;
  if (ext == nullptr) return records;
  const auto drives = disk.logical.Used();
  if (disk.logical.empty()) {
    // An extended partition with no level at all (a new one, or a partition turned into one)
    // gets an empty chain; a second extended partition whose chain was never read keeps its own.
    // One that lies wholly past the medium has no record to write.
    if ((ext->isNew || ext->holdsLogicalDrives) && ext->start < disk.UsableSectors()) {
      records.push_back({ext->start, Bytes(EmptyRecord())});
    }
    return records;
  }
  if (drives.empty()) {
    // All drives deleted, or a new (or newly placed) extended partition: the first record must
    // say "no drives".
    if (ext->destructive || disk.logicalDrivesOnDisk > 0) records.push_back({ext->start, Bytes(EmptyRecord())});
    return records;
  }
  for (const ChainRecord& record : BuildExtendedChain(disk, drives, *ext)) {
    records.push_back({record.lba, Bytes(record.sector)});
  }
  return records;
}

// The default-entry and direct-boot bytes of sector 0 and of the engine's copy of it. The copy
// gets the menu's own default (the entry with the default mark, or the entry count while
// remember-last is on) and never a direct boot. Sector 0 keeps what the engine and the boot
// command left there: the entry booted last (remember-last) and a pending direct boot, each at
// the position its entry has now.
void SetDefaultEntryBytes(CHardDisk& disk, CPrompt& prompt) {
  const auto entries = disk.MenuObjectsBySlot();
  const bool rememberLast = disk.engineArea[layout::AREA_REMEMBER_LAST] != 0;
  const auto positionOf = [&](auto marked) -> std::optional<std::uint8_t> {
    for (std::size_t k = 0; k < entries.size(); ++k) {
      if (marked(*entries[k])) return static_cast<std::uint8_t>(k);
    }
    return std::nullopt;
  };
  std::uint8_t configured = static_cast<std::uint8_t>(entries.size());
  if (!rememberLast) configured = positionOf([](const CPartition& p) { return p.isDefault; }).value_or(0);
  std::uint8_t shown = configured;
  if (rememberLast) shown = positionOf([](const CPartition& p) { return p.bootedLast; }).value_or(configured);
  std::uint8_t direct = 0;
  if (disk.directBootPending) {
    if (const auto target = positionOf([](const CPartition& p) { return p.directBootTarget; })) {
      shown = *target;
      direct = disk.directBootPending;
    } else {
      prompt.Message(StrFormat(text::kDirectBootDropped, disk.DeviceName().c_str()), PromptIcon::Information);
      disk.directBootPending = 0;
    }
  }
  disk.sector0[layout::LOADER_DEFAULT_ENTRY] = shown;
  disk.sector0[layout::LOADER_DIRECT_BOOT] = direct;
  disk.engineArea[layout::AREA_MBR_COPY + layout::LOADER_DEFAULT_ENTRY] = configured;
  disk.engineArea[layout::AREA_MBR_COPY + layout::LOADER_DIRECT_BOOT] = 0;
}

// The engine area as seven one-sector writes in the order given.
void PlanArea(const CHardDisk& disk, std::initializer_list<std::uint32_t> sectors, std::vector<PlannedWrite>& plan) {
  for (const std::uint32_t lba : sectors) {
    plan.push_back({lba, Bytes(std::span<const std::uint8_t>(disk.engineArea).subspan((lba - 1) * kSectorSize, kSectorSize))});
  }
}

// Every sector of the plan lies on the medium and, on an image file, has its space: checked
// before the first write, so that a plan that cannot be carried out leaves the disk untouched.
bool CheckPlan(CHardDisk& disk, const std::vector<PlannedWrite>& plan, CPrompt& prompt) {
  if (const auto medium = KnownMediumSectors(disk)) {
    for (const PlannedWrite& write : plan) {
      if (write.lba < *medium) continue;
      prompt.Message(StrFormat(text::kSectorBeyondMedium, disk.DeviceName().c_str(), write.lba,
                               static_cast<unsigned long long>(*medium)),
                     PromptIcon::Stop);
      return false;
    }
  }
  IDiskTransport* transport = disk.Transport();
  if (transport == nullptr) return true;
  for (const PlannedWrite& write : plan) {
    if (transport->Reserve(std::uint64_t{write.lba} * kSectorSize, kSectorSize)) continue;
    prompt.Message(StrFormat(text::kNoSpaceReserved, disk.DeviceName().c_str(), Where(disk).c_str(),
                             TransferErrorText(transport->LastErrorNumber()).c_str()),
                   PromptIcon::Stop);
    return false;
  }
  return true;
}

std::vector<std::uint32_t> PlannedSectors(const std::vector<PlannedWrite>& plan) {
  std::vector<std::uint32_t> sectors;
  for (const PlannedWrite& write : plan) sectors.push_back(write.lba);
  return sectors;
}

bool Execute(CHardDisk& disk, const std::vector<PlannedWrite>& plan, CPrompt& prompt) {
  std::string written;
  for (const PlannedWrite& write : plan) {
    if (disk.WriteSectors(write.lba, 1, write.bytes)) {
      written += (written.empty() ? "" : ", ") + std::to_string(write.lba);
      continue;
    }
    const int error = disk.Transport() != nullptr ? disk.Transport()->LastErrorNumber() : 0;
    // After a write whose end is unknown, the sector itself may have changed too.
    std::string before = written.empty() ? std::string() : StrFormat(text::kSectorsWritten, written.c_str());
    if (WriteUncertain(error)) {
      before += (before.empty() ? "" : "\n") + StrFormat(text::kSectorMayBeWritten, write.lba);
    } else if (written.empty()) {
      before = text::kNothingWritten;
    }
    prompt.Message(StrFormat(text::kWriteFailedAt, disk.DeviceName().c_str(), Where(disk).c_str(), write.lba,
                             TransferErrorText(error != 0 ? error : EIO).c_str(), before.c_str()),
                   PromptIcon::Stop);
    return false;
  }
  return true;
}
// Puts the data on the medium and lets the kernel see the new table.
bool Commit(CHardDisk& disk, CPrompt& prompt) {
  IDiskTransport* transport = disk.Transport();
  if (transport == nullptr) return true;
  if (!transport->Flush()) {
    prompt.Message(StrFormat(text::kFlushFailed, disk.DeviceName().c_str()), PromptIcon::Stop);
    return false;
  }
  if (transport->RereadPartitionTable() == TableReload::Busy) {
    prompt.Message(StrFormat(text::kRestartForTable, transport->Describe().c_str()), PromptIcon::Exclamation);
  }
  return true;
}

// WriteDisk; withVersionDigit also marks the engine's banner as installed (the whole save's
// step, not the single disk's).
bool WriteDiskAs(CHardDisk& disk, CPrompt& prompt, const MountSources& mounts, bool withVersionDigit) {
  CPartition* ext = disk.FindExtended();
  if (auto refusal = Refusal(disk, ext)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return false;
  }
  if (!ConfirmNotEmptied(disk, prompt)) return false;
  // The tables are built into the images before they are written; a save that fails leaves the
  // working copy as it was, so that it neither looks edited nor holds half of a save.
  const DiskState before = CaptureState(disk);
  if (withVersionDigit && disk.engineArea[layout::CONST_VERSION_MAJOR_AREA] == kVersionMajorDigit) {
    disk.engineArea[layout::CONST_VERSION_MINOR_AREA] = kInstalledMinorDigit;
  }
  BuildPrimaryTable(disk);
  const bool engine = disk.EngineInstalled();
  if (engine) {
    BuildMenuTable(disk);
    std::copy_n(disk.sector0.begin() + layout::LOADER_MENU_TABLE, kEntrySize,
                disk.sector0.begin() + layout::LOADER_BOOT_SLOT);
    SetDefaultEntryBytes(disk, prompt);
    SectorImage copy = disk.sector0;
    copy[layout::LOADER_DEFAULT_ENTRY] = disk.engineArea[layout::AREA_MBR_COPY + layout::LOADER_DEFAULT_ENTRY];
    copy[layout::LOADER_DIRECT_BOOT] = 0;
    std::copy(copy.begin(), copy.end(), disk.engineArea.begin() + layout::AREA_MBR_COPY);
  }

  // The order keeps the old tables readable until the last moment: the zeroing of new
  // partitions and new extended boot records before the links that reach them, links before
  // the engine's tables, and the sector that makes the new tables count last: sector 0, on an
  // installation LBA 1 with the engine's signature (after the rest of the engine), on a removal
  // LBA 1 without it (after sector 0).
  std::vector<PlannedWrite> plan;
  std::vector<CPartition*> zeroed;
  for (CPartition* drive : disk.logical.Used()) {
    if (drive->isNew && drive->destructive) PlanZeroing(disk, drive->DataStart(), drive->DataStart() + 1, plan);
  }
  for (const auto& item : disk.primary.items()) {
    CPartition& p = *item.object;
    if (p.isNew && p.destructive && !p.IsFree() && !p.IsExtended()) {
      PlanZeroing(disk, p.start, p.End(), plan);
      zeroed.push_back(&p);
    }
  }
  PlanBootSectorRestores(disk, plan);
  auto records = ChainRecords(disk, ext);
  std::move(records.rbegin(), records.rend(), std::back_inserter(plan));
  if (engine) {
    PlanArea(disk, {2, 3, 4, 5, 6, 7, 1}, plan);
    plan.push_back({0, Bytes(disk.sector0)});
  } else if (disk.engineAreaToWrite) {
    PlanArea(disk, {2, 3, 4, 5, 6, 7}, plan);
    plan.push_back({0, Bytes(disk.sector0)});
    PlanArea(disk, {1}, plan);
  } else {
    plan.push_back({0, Bytes(disk.sector0)});
  }

  if (!CheckMountsUntouched(disk, PlannedSectors(plan), mounts, prompt) || !CheckPlan(disk, plan, prompt) ||
      !Execute(disk, plan, prompt) || !Commit(disk, prompt)) {
    RestoreState(disk, before);
    disk.MarkModified();
    return false;
  }
  // The zeroing happens once per created partition: a later save must not wipe its data.
  for (CPartition* p : zeroed) p->destructive = false;
  for (CPartition* drive : disk.logical.Used()) drive->destructive = false;
  if (ext != nullptr) ext->destructive = false;
  ForgetBootSectorRestores(disk);
  disk.logicalDrivesOnDisk = disk.logical.Used().size();
  disk.rangesOnDisk = RangesTheSaveWrites(disk);
  disk.partitionsOnDisk = disk.rangesOnDisk.size();
  if (!engine) disk.engineAreaToWrite = false;
  disk.MarkSaved();
  return true;
}

}  // namespace

bool WriteDisk(CHardDisk& disk, CPrompt& prompt, const MountSources& mounts) {
  return WriteDiskAs(disk, prompt, mounts, false);
}

bool SaveModifiedDisks(WorkingCopy& workingCopy, CPrompt& prompt, const MountSources& mounts) {
  bool allWritten = true;
  for (const auto& [key, disk] : workingCopy.disks()) {
    if (disk->IsModified()) allWritten = WriteDiskAs(*disk, prompt, mounts, true) && allWritten;
  }
  return allWritten;
}

void OfferRestart(CPrompt& prompt, IRestartService& service) {
  // "Nein" is the default: an Enter pressed in passing must not restart the machine.
  if (prompt.Ask(LoadResString(IDS_RESTART_NOW), PromptButtons::YesNoDefaultNo, PromptIcon::Question) !=
      PromptAnswer::Yes) {
    prompt.Message(LoadResString(IDS_REMEMBER_RESTART), PromptIcon::Exclamation);
    return;
  }
  if (!service.Restart()) prompt.Message(LoadResString(IDS_NO_SHUTDOWN_RIGHT), PromptIcon::Exclamation);
}

bool SaveAll(WorkingCopy& workingCopy, CPrompt& prompt, IRestartService& service) {
  // Only the running system's view of its own disks needs a restart; image files are read
  // afresh by whoever opens them next.
  std::vector<const CHardDisk*> blockDevices;
  for (const auto& [key, disk] : workingCopy.disks()) {
    if (disk->IsModified() && disk->Transport() != nullptr && disk->Transport()->IsBlockDevice()) {
      blockDevices.push_back(disk.get());
    }
  }
  const bool written = SaveModifiedDisks(workingCopy, prompt);
  const auto saved = [](const CHardDisk* disk) { return !disk->IsModified(); };
  if (std::any_of(blockDevices.begin(), blockDevices.end(), saved)) OfferRestart(prompt, service);
  return written;
}

bool SaveSingleDisk(CHardDisk& disk, CPrompt& prompt) {
  if (disk.DeviceNumber() == 0 && disk.EngineInstalled() && disk.sector0[layout::LOADER_MENU_TABLE + 4] == 0) {
    prompt.Message(LoadResString(IDS_EMPTY_BOOT_MENU), PromptIcon::Stop);
    return false;
  }
  return WriteDisk(disk, prompt);
}

}  // namespace korvex
