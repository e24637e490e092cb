#include "partition/DiskSaver.h"

#include "partition/PartitionEntry.h"
#include "partition/TableWriter.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

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

// A refusal text when the disk must not be written at all.
std::optional<std::string> Refusal(CHardDisk& disk, const CPartition* ext) {
  const char* name = disk.DeviceName().c_str();
  if (disk.gpt) return StrFormat(text::kGptRefused, name);
  if (auto* transport = disk.Transport(); transport != nullptr) {
    if (const auto now = transport->QueryGeometry(); !now || !disk.SameGeometry(*now)) {
      return StrFormat(LoadResString(IDS_GEOMETRY_MISMATCH).c_str(), static_cast<int>(disk.DeviceNumber()));
    }
  }
  if (auto slots = CheckTableSlots(disk)) return slots;
  if (disk.EngineInstalled() && disk.MenuEntryCount() > layout::CONST_MENU_ENTRIES) {
    return StrFormat(text::kMenuTooLong, name);
  }
  if (ext != nullptr) {
    for (const CPartition* drive : disk.logical.Used()) {
      if (drive->start < ext->start || drive->End() > ext->End()) {
        return StrFormat(text::kLogicalOutsideRefused, name, drive->start);
      }
    }
  }
  return std::nullopt;
}

// Zeroes the first sector and the sector one track later of a new destructive partition,
// never a sector outside the partition itself.
void PlanZeroing(const CHardDisk& disk, std::uint32_t first, std::uint64_t end, std::vector<PlannedWrite>& plan) {
  for (const std::uint64_t lba : {std::uint64_t{first}, std::uint64_t{first} + disk.SectorsPerTrack()}) {
    if (lba < end) plan.push_back({static_cast<std::uint32_t>(lba), Zeros()});
  }
}

// The logical part of the plan: the chain, or an empty record that ends it.
void PlanLogical(CHardDisk& disk, const CPartition* ext, std::vector<PlannedWrite>& plan) {
  if (ext == nullptr) return;
  const auto drives = disk.logical.Used();
  if (disk.logical.empty()) {
    // An extended partition with no level at all (a new one, or a partition turned into one)
    // gets an empty chain; a second extended partition whose chain was never read keeps its own.
    if (ext->isNew || ext->holdsLogicalDrives) plan.push_back({ext->start, Bytes(EmptyRecord())});
    return;
  }
  if (drives.empty()) {
    // All drives deleted, or a new (or newly placed) extended partition: the first record must
    // say "no drives".
    if (ext->destructive || disk.logicalDrivesOnDisk > 0) {
      plan.push_back({ext->start, Bytes(EmptyRecord())});
    }
    return;
  }
  for (const ChainRecord& record : BuildExtendedChain(disk, drives, *ext)) {
    plan.push_back({record.lba, Bytes(record.sector)});
  }
  for (const CPartition* drive : drives) {
    if (drive->isNew && drive->destructive) PlanZeroing(disk, drive->DataStart(), drive->DataStart() + 1, plan);
  }
}

bool Execute(CHardDisk& disk, const std::vector<PlannedWrite>& plan, CPrompt& prompt) {
  for (const PlannedWrite& write : plan) {
    if (!disk.WriteSectors(write.lba, 1, write.bytes)) {
      const std::string where = disk.Transport() ? disk.Transport()->Describe() : disk.DeviceName();
      prompt.Message(StrFormat(text::kWriteFailed, disk.DeviceName().c_str(), where.c_str(), write.lba),
                     PromptIcon::Stop);
      return false;
    }
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

}  // namespace

bool WriteDisk(CHardDisk& disk, CPrompt& prompt) {
  CPartition* ext = disk.FindExtended();
  if (auto refusal = Refusal(disk, ext)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return false;
  }
  BuildPrimaryTable(disk);
  const bool engine = disk.EngineInstalled();
  if (engine) {
    // A direct boot that was requested but has not happened yet must not reach the engine's
    // master copy, or every start would boot directly: the save cancels it and puts back the
    // configured default entry.
    if (disk.sector0[layout::LOADER_DIRECT_BOOT] != 0) {
      disk.sector0[layout::LOADER_DIRECT_BOOT] = 0;
      disk.sector0[layout::LOADER_DEFAULT_ENTRY] = disk.engineArea[layout::AREA_MBR_COPY + layout::LOADER_DEFAULT_ENTRY];
    }
    BuildMenuTable(disk);
    std::copy_n(disk.sector0.begin() + layout::LOADER_MENU_TABLE, kEntrySize,
                disk.sector0.begin() + layout::LOADER_BOOT_SLOT);
    std::copy(disk.sector0.begin(), disk.sector0.end(), disk.engineArea.begin() + layout::AREA_MBR_COPY);
  }

  std::vector<PlannedWrite> plan;
  PlanLogical(disk, ext, plan);
  std::vector<CPartition*> zeroed;
  for (const auto& item : disk.primary.items()) {
    CPartition& p = *item.object;
    if (p.isNew && p.destructive && !p.IsFree() && !p.IsExtended()) {
      PlanZeroing(disk, p.start, p.End(), plan);
      zeroed.push_back(&p);
    }
  }
  const bool writeArea = engine || disk.engineAreaToWrite;
  if (writeArea) {
    for (std::uint32_t s = 0; s < 7; ++s) {
      plan.push_back({1 + s, Bytes(std::span<const std::uint8_t>(disk.engineArea).subspan(s * kSectorSize, kSectorSize))});
    }
  }
  plan.push_back({0, Bytes(disk.sector0)});

  if (!Execute(disk, plan, prompt) || !Commit(disk, prompt)) {
    disk.MarkModified();
    return false;
  }
  // The zeroing happens once per created partition: a later save must not wipe its data.
  for (CPartition* p : zeroed) p->destructive = false;
  for (CPartition* drive : disk.logical.Used()) drive->destructive = false;
  if (ext != nullptr) ext->destructive = false;
  disk.logicalDrivesOnDisk = disk.logical.Used().size();
  if (!engine) disk.engineAreaToWrite = false;
  disk.MarkSaved();
  return true;
}

bool SaveModifiedDisks(WorkingCopy& workingCopy, CPrompt& prompt) {
  bool allWritten = true;
  for (const auto& [key, disk] : workingCopy.disks()) {
    if (!disk->IsModified()) continue;
    if (disk->engineArea[layout::CONST_VERSION_MAJOR_AREA] == kVersionMajorDigit) {
      disk->engineArea[layout::CONST_VERSION_MINOR_AREA] = kInstalledMinorDigit;
    }
    allWritten = WriteDisk(*disk, prompt) && allWritten;
  }
  return allWritten;
}

void OfferRestart(CPrompt& prompt, IRestartService& service) {
  if (prompt.Ask(LoadResString(IDS_RESTART_NOW), PromptButtons::YesNo, PromptIcon::Question) != PromptAnswer::Yes) {
    prompt.Message(LoadResString(IDS_REMEMBER_RESTART), PromptIcon::Exclamation);
    return;
  }
  if (!service.Restart()) prompt.Message(LoadResString(IDS_NO_SHUTDOWN_RIGHT), PromptIcon::Exclamation);
}

bool SaveAll(WorkingCopy& workingCopy, CPrompt& prompt, IRestartService& service) {
  const bool written = SaveModifiedDisks(workingCopy, prompt);
  OfferRestart(prompt, service);
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
