#include "partition/CHardDisk.h"

#include <algorithm>

#include "partition/TableReader.h"
#include "partition/PartitionEntry.h"
#include "platform/StringTable.h"

namespace korvex {

CHardDisk::CHardDisk(std::uint8_t deviceNumber, std::unique_ptr<IDiskTransport> transport, OsVersion os,
                     CPrompt& prompt)
    : CPhysicalDrive(deviceNumber, std::move(transport), os), diskIndex(deviceNumber) {
  ReadImages();
  Reparse(prompt);
}

CHardDisk::~CHardDisk() = default;

bool CHardDisk::ReadImages() {
  const bool area = ReadChs(0, 0, 2, 7, engineArea);
  const bool loader = ReadChs(0, 0, 1, 1, sector0);
  return area && loader;
}

void CHardDisk::Reparse(CPrompt& prompt) {
  primary.Clear();
  logical.Clear();
  gpt = false;
  logicalDrivesOnDisk = 0;
  // With the engine installed the tables live in its copy of sector 0; a damaged sector 0 (its
  // signature lost) must not make them look empty, or the next save would write empty tables.
  const bool engineCopyIntact =
      EngineInstalled() && HasBootSignature(std::span<const std::uint8_t>(engineArea).subspan(layout::AREA_MBR_COPY, 512));
  if (HasBootSignature(sector0) || engineCopyIntact) {
    ParseTables(*this, prompt);
  } else {
    auto whole = std::make_unique<CPartition>(0, LastSector() + 1, 0);
    whole->SetFree();
    whole->diskNumber = diskIndex;
    whole->type = 0;
    primary.Insert(std::move(whole));
  }
}

void CHardDisk::MarkModified() { SetModified(true); }
void CHardDisk::MarkSaved() { SetModified(false); }

void CHardDisk::SetModified(bool modified) {
  modified_ = modified;
  if (notifier_ != nullptr) notifier_->Notify(ChangeEvent::DiskChanged, DeviceNumber());
}

bool CHardDisk::EngineInstalled() const {
  return engineArea[0] == (layout::CONST_ENGINE_SIGNATURE & 0xFF) && engineArea[1] == layout::CONST_ENGINE_SIGNATURE >> 8;
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
