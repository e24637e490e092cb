#include "bootengine/EngineRemoval.h"

#include <optional>
#include <set>

#include "backup/BackupFile.h"
#include "partition/PartitionEntry.h"
#include "partition/TableReader.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// Without its signature the engine is no longer installed; the save writes the engine area
// once more, so that LBA 1 on the disk loses the signature too and the loader left in sector 0
// no longer starts the old engine with its old tables.
void DropEngine(CHardDisk& disk) {
  disk.engineArea[0] = 0;
  disk.engineArea[1] = 0;
  RebuildFreeAreas(disk);
  disk.engineAreaToWrite = true;
  disk.MarkModified();
}

void RemoveMenuPartitions(CHardDisk& disk) {
  disk.primary.RemoveIf([](const CPartition& p) { return p.InMenu(); });
  DropEngine(disk);
}

std::uint8_t LowestFreeSlot(const CHardDisk& disk) {
  std::set<std::uint8_t> used;
  for (const CPartition* p : disk.primary.Used()) {
    if (p->InPartitionTable()) used.insert(p->slot);
  }
  std::uint8_t slot = 0;
  while (used.count(slot) != 0) ++slot;
  return slot;
}

// Without the engine the loader left in sector 0 (or any other) starts the active partition:
// the engine's default entry when it is kept, else the first kept one, becomes the only active
// partition. Returns it.
CPartition& ActivateForBoot(CHardDisk& disk, const std::vector<CPartition*>& kept, const CPartition* defaultEntry) {
  CPartition* chosen = kept.front();
  for (CPartition* p : kept) {
    if (p == defaultEntry) chosen = p;
  }
  for (CPartition* p : disk.primary.Used()) {
    if (p->IsActiveTable()) p->SetTable();
  }
  chosen->SetActiveTable();
  return *chosen;
}

// Moves the chosen menu partitions into the partition table; nothing after a refusal, else the
// line that tells which partition is active now (empty when none was kept).
std::optional<std::string> KeepPartitions(CHardDisk& disk, const std::vector<unsigned>& keep, CPrompt& prompt) {
  const auto choices = RemovalChoices(disk);
  std::set<unsigned> checked;
  for (unsigned index : keep) {
    if (index >= choices.size()) {
      prompt.Message(StrFormat(text::kKeepChoiceInvalid, index + 1), PromptIcon::Stop);
      return std::nullopt;
    }
    checked.insert(index);
  }
  const std::size_t inTable = disk.primary.Count([](const CPartition& p) { return p.InPartitionTable(); });
  if (checked.size() + inTable > kTableEntries) {
    prompt.Message(LoadResString(IDS_TOO_MANY_TO_KEEP), PromptIcon::Information);
    return std::nullopt;
  }
  const CPartition* defaultEntry =
      disk.primary.FindFirst([](const CPartition& p) { return p.InMenu() && p.isDefault; });
  std::vector<CPartition*> kept;
  for (unsigned index : checked) {
    CPartition& p = *choices[index];
    kept.push_back(&p);
    const std::uint8_t slot = LowestFreeSlot(disk);
    if (p.IsNewMenu()) {
      p.MarkNew(PartitionState::NewTable);
    } else {
      p.SetTable();
    }
    p.slot = slot;
    p.isDefault = false;
  }
  std::string report;
  if (!kept.empty()) {
    const CPartition& active = ActivateForBoot(disk, kept, defaultEntry);
    report = StrFormat(text::kKeptPartitionActive, active.start, static_cast<int>(active.type));
  }
  DropEngine(disk);
  return report;
}

}  // namespace

std::vector<CPartition*> RemovalChoices(const CHardDisk& disk) {
  std::vector<CPartition*> choices;
  for (const auto& item : disk.primary.items()) {
    if (item.object->InMenu() && choices.size() < layout::CONST_MENU_ENTRIES) choices.push_back(item.object.get());
  }
  return choices;
}

bool RemoveEngine(CHardDisk& disk, const RemovalRequest& request, CPrompt& prompt) {
  if (!disk.EngineInstalled()) {
    prompt.Message(text::kNoEngineInstalled, PromptIcon::Stop);
    return false;
  }
  std::string report = text::kEngineRemoved;
  switch (request.mode) {
    case RemovalMode::EmptyMbr:
      RemoveMenuPartitions(disk);
      break;
    case RemovalMode::FromBackup:
      if (!ImportBackup(disk, request.backupPath, prompt)) return false;
      if (disk.EngineInstalled()) {
        prompt.Message(text::kBackupKeepsEngine, PromptIcon::Information);
        return true;
      }
      break;
    case RemovalMode::KeepPartitions: {
      const auto active = KeepPartitions(disk, request.keep, prompt);
      if (!active) return false;
      report += *active;
      break;
    }
  }
  prompt.Message(report, PromptIcon::Information);
  return true;
}

}  // namespace korvex
