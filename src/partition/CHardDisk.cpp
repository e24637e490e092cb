#include "partition/CHardDisk.h"

#include <algorithm>
#include <tuple>

#include "partition/EditHistory.h"
#include "partition/MountedChanges.h"
#include "partition/PartitionEntry.h"
#include "partition/SectorRanges.h"
#include "partition/TableReader.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "platform/TransferErrors.h"

namespace korvex {

CHardDisk::CHardDisk(std::uint8_t deviceNumber, std::unique_ptr<IDiskTransport> transport, OsVersion os,
                     LoaderCheck holdsEngineLoader, CPrompt& prompt)
    : CPhysicalDrive(deviceNumber, std::move(transport), os), diskIndex(deviceNumber),
      holdsEngineLoader_(holdsEngineLoader) {
  if (IsUsable()) {
    ReadForWorkingCopy(1, layout::CONST_AREA_SIZE / kSectorSize, engineArea, prompt);
    ReadForWorkingCopy(0, 1, sector0, prompt);
  }
  Reparse(prompt);
}

CHardDisk::~CHardDisk() = default;

bool CHardDisk::ReadImages() {
  readFailures.clear();
  bool read = true;
  for (const auto& [lba, count, image] : {std::tuple{1u, 7u, std::span<std::uint8_t>(engineArea)},
                                          std::tuple{0u, 1u, std::span<std::uint8_t>(sector0)}}) {
    if (const auto error = ReadSectorsChecked(lba, count, image)) {
      readFailures.push_back({lba, count, *error});
      read = false;
    }
  }
  return read;
}

bool CHardDisk::ReadForWorkingCopy(std::uint32_t lba, std::uint32_t count, std::span<std::uint8_t> buffer,
                                   CPrompt& prompt) {
  const auto error = ReadSectorsChecked(lba, count, buffer);
  if (!error) return true;
  readFailures.push_back({lba, count, *error});
  const std::string where = Transport() != nullptr ? Transport()->Describe() : DeviceName();
  const std::string cause = TransferErrorText(*error);
  prompt.Message(StrFormat(text::kReadFailed, DeviceName().c_str(), where.c_str(), lba, cause.c_str()), PromptIcon::Stop);
  return false;
}

bool CHardDisk::SectorRead(std::uint32_t lba) const {
  return std::none_of(readFailures.begin(), readFailures.end(), [&](const ReadFailure& failure) {
    return lba >= failure.lba && lba - failure.lba < failure.count;
  });
}

void CHardDisk::Reparse(CPrompt& prompt) {
  primary.Clear();
  logical.Clear();
  gpt = false;
  engineDamaged = false;
  directBootPending = 0;
  logicalDrivesOnDisk = 0;
  logicalChainBroken = false;
  partitionsOnDisk = 0;
  rangesOnDisk.clear();
  engineWithoutLoader = false;
  // An unreadable sector 0 leaves the disk without objects: shown as unreadable, not as blank.
  if (!SectorRead(0)) return;
  CheckEngineTrust(*this, prompt);
  // With the engine installed the tables live in its copy of sector 0; a damaged sector 0 (its
  // signature lost) must not make them look empty, or the next save would write empty tables.
  if (HasBootSignature(sector0) || (EngineInstalled() && EngineCopyIntact())) {
    ParseTables(*this, prompt);
  } else {
    // As far as a 32-bit length reaches: nothing from 2^32 on can be named in a table.
    const auto length = static_cast<std::uint32_t>(std::min<std::uint64_t>(LastSector() + 1, UINT32_MAX));
    auto whole = std::make_unique<CPartition>(0, length, 0);
    whole->SetFree();
    whole->diskNumber = diskIndex;
    whole->type = 0;
    primary.Insert(std::move(whole));
  }
  partitionsOnDisk = primary.Used().size() + logical.Used().size();
  rangesOnDisk = RangesTheSaveWrites(*this);
}

void CHardDisk::MarkModified() {
  modified_ = true;
  if (history_ != nullptr) history_->Changed(*this);
  Notify();
}

void CHardDisk::MarkSaved() {
  modified_ = false;
  if (history_ != nullptr) history_->SetBaseline(*this);
  Notify();
}

void CHardDisk::MarkRestored(bool modified) {
  modified_ = modified;
  Notify();
}

void CHardDisk::Notify() const {
  if (notifier_ != nullptr) notifier_->Notify(ChangeEvent::DiskChanged, DeviceNumber());
}

bool HasEngineSignature(const EngineAreaImage& area) {
  return area[0] == (layout::CONST_ENGINE_SIGNATURE & 0xFF) && area[1] == layout::CONST_ENGINE_SIGNATURE >> 8;
}

bool CHardDisk::EngineInstalled() const { return HasEngineSignature(engineArea); }

bool CHardDisk::EngineCopyIntact() const {
  return HasBootSignature(std::span<const std::uint8_t>(engineArea).subspan(layout::AREA_MBR_COPY, kSectorSize));
}

const CPartition* CHardDisk::PartitionInEngineTrack() const {
  for (const PartitionLevel* level : {&primary, &logical}) {
    for (const CPartition* p : level->Used()) {
      if (p->start < kEngineTrackSectors && p->length > 0) return p;
    }
  }
  return nullptr;
}

const CPartition* CHardDisk::UsedObjectIn(std::uint64_t start, std::uint64_t end,
                                          std::initializer_list<const CPartition*> except) const {
  for (const PartitionLevel* level : {&primary, &logical}) {
    for (const CPartition* used : level->Used()) {
      if (std::find(except.begin(), except.end(), used) != except.end()) continue;
      if (RunsShareSector(start, end - start, used->start, used->length)) return used;
    }
  }
  return nullptr;
}

std::vector<FileIdentity> CHardDisk::DiskFiles() const {
  std::vector<FileIdentity> files = diskFiles_ ? *diskFiles_ : std::vector<FileIdentity>{};
  if (const auto own = Transport() != nullptr ? Transport()->Identity() : std::nullopt) files.push_back(*own);
  return files;
}

CPartition* CHardDisk::FindExtended() const {
  if (auto* owner = primary.FindFirst([](const CPartition& p) { return p.IsExtended() && p.holdsLogicalDrives; })) {
    return owner;
  }
  return primary.FindFirst([](const CPartition& p) { return p.IsExtended(); });
}

std::uint8_t CHardDisk::MenuEntryCount() const {
  return static_cast<std::uint8_t>(primary.Count([](const CPartition& p) { return p.InMenu(); }));
}

std::vector<CPartition*> CHardDisk::MenuObjectsBySlot() const {
  std::vector<CPartition*> entries;
  for (const auto& item : primary.items()) {
    if (item.object->InMenu()) entries.push_back(item.object.get());
  }
  std::stable_sort(entries.begin(), entries.end(), [](const CPartition* a, const CPartition* b) { return a->slot < b->slot; });
  return entries;
}

std::vector<CPartition> CHardDisk::MenuEntriesBySlot() const {
  std::vector<CPartition> entries;
  for (const CPartition* p : MenuObjectsBySlot()) entries.push_back(*p);
  return entries;
}

void CHardDisk::PassDefault(CPartition& object, const PartitionLevel& level, CPrompt& prompt) {
  object.isDefault = false;
  if (auto* next = level.FindFirst([](const CPartition& p) { return p.IsMenu(); })) {
    next->isDefault = true;
    return;
  }
  if (MenuEntryCount() == 0) {
    prompt.Message(LoadResString(IDS_NO_PRIMARY_LEFT), PromptIcon::Exclamation);
    SetDefaultEntry(0);
  }
}

void CHardDisk::SetDefaultEntry(std::uint8_t position) {
  engineArea[layout::AREA_REMEMBER_LAST] = position == MenuEntryCount() ? 1 : 0;
  WriteDefaultEntry(position);
  MarkModified();
}

void CHardDisk::WriteDefaultEntry(std::uint8_t position) {
  sector0[layout::LOADER_DEFAULT_ENTRY] = position;
  engineArea[layout::AREA_MBR_COPY + layout::LOADER_DEFAULT_ENTRY] = position;
}

void CHardDisk::RenumberMenu() {
  const auto entries = MenuObjectsBySlot();
  bool changed = false;
  const CPartition* chosen = nullptr;
  const bool rememberLast = EngineInstalled() && engineArea[layout::AREA_REMEMBER_LAST] != 0;
  for (std::size_t position = 0; position < entries.size(); ++position) {
    CPartition& entry = *entries[position];
    changed |= entry.slot != position;
    entry.slot = static_cast<std::uint8_t>(position);
    // One default at most, and none while the engine remembers the entry booted last.
    if (entry.isDefault && (rememberLast || chosen != nullptr)) {
      entry.isDefault = false;
      changed = true;
    }
    if (entry.isDefault) chosen = &entry;
  }
  if (EngineInstalled()) {
    if (!rememberLast && chosen == nullptr && !entries.empty()) {
      entries.front()->isDefault = true;
      chosen = entries.front();
      changed = true;
    }
    const auto position = static_cast<std::uint8_t>(chosen != nullptr ? chosen->slot : entries.size());
    changed |= sector0[layout::LOADER_DEFAULT_ENTRY] != position ||
               engineArea[layout::AREA_MBR_COPY + layout::LOADER_DEFAULT_ENTRY] != position;
    WriteDefaultEntry(position);
  }
  if (changed) MarkModified();
}

}  // namespace korvex
