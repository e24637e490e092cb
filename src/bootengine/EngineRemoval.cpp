#include "bootengine/EngineRemoval.h"

#include <set>

#include "backup/BackupFile.h"
#include "partition/TableReader.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::size_t kRemovalCheckBoxes = 12;
constexpr std::uint8_t kTableSlots = 4;

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

bool KeepPartitions(CHardDisk& disk, const std::vector<unsigned>& keep, CPrompt& prompt) {
  const auto choices = RemovalChoices(disk);
  std::set<unsigned> checked;
  for (unsigned index : keep) {
    if (index >= choices.size()) {
      prompt.Message(StrFormat(text::kKeepChoiceInvalid, index + 1), PromptIcon::Stop);
      return false;
    }
    checked.insert(index);
  }
  const std::size_t inTable = disk.primary.Count([](const CPartition& p) { return p.InPartitionTable(); });
  if (checked.size() + inTable > kTableSlots) {
    prompt.Message(LoadResString(IDS_TOO_MANY_TO_KEEP), PromptIcon::Information);
    return false;
  }
  for (unsigned index : checked) {
    CPartition& p = *choices[index];
    const std::uint8_t slot = LowestFreeSlot(disk);
    if (p.IsNewMenu()) {
      p.MarkNew(PartitionState::NewTable);
    } else {
      p.SetTable();
    }
    p.slot = slot;
    p.isDefault = false;
  }
  DropEngine(disk);
  return true;
}

}  // namespace

std::vector<CPartition*> RemovalChoices(const CHardDisk& disk) {
  std::vector<CPartition*> choices;
  for (const auto& item : disk.primary.items()) {
    if (item.object->InMenu() && choices.size() < kRemovalCheckBoxes) choices.push_back(item.object.get());
  }
  return choices;
}

bool RemoveEngine(CHardDisk& disk, const RemovalRequest& request, CPrompt& prompt) {
  if (!disk.EngineInstalled()) {
    prompt.Message(text::kNoEngineInstalled, PromptIcon::Stop);
    return false;
  }
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
    case RemovalMode::KeepPartitions:
      if (!KeepPartitions(disk, request.keep, prompt)) return false;
      break;
  }
  prompt.Message(text::kEngineRemoved, PromptIcon::Information);
  return true;
}

}  // namespace korvex
