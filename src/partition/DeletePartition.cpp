// Deleting a partition or logical drive, and switching a table partition's active mark.
#include "partition/LogicalLevelUpkeep.h"
#include "partition/PartitionEditing.h"
#include "partition/TableReader.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

bool IsPrimaryTablePartition(const CHardDisk& disk, const CPartition& object) {
  return object.InPartitionTable() && disk.primary.KeyOf(&object) != 0;
}

}  // namespace

bool DeletePartition(CHardDisk& disk, PartitionLevel& level, CPartition& object, CPrompt& prompt) {
  if (object.IsFree() || level.KeyOf(&object) == 0) {
    prompt.Message(text::kFreeAreaNotDeletable, PromptIcon::Stop);
    return false;
  }
  const bool extended = object.IsExtended();
  const bool menuEntry = object.InMenu();
  const char* question = extended ? text::kDeleteExtended : text::kDeletePartition;
  if (prompt.Ask(question, PromptButtons::YesNoCancel, PromptIcon::Exclamation) != PromptAnswer::Yes) return false;

  // Only the extended partition that owns the logical level takes the logical drives with it.
  if (extended && disk.FindExtended() == &object) ReleaseLogicalLevel(disk, object, prompt);
  object.SetFree();
  object.type = 0;
  object.holdsLogicalDrives = false;
  if (object.isDefault) disk.PassDefault(object, level, prompt);
  const bool logical = &level == &disk.logical;
  // Both levels: a deleted logical drive's space merges with the free areas around it.
  RebuildFreeAreas(disk);  // object is destroyed here
  if (logical) NumberLogicalDrives(disk);
  // The remaining menu entries close the gap, so positions and the default-entry byte agree.
  if (menuEntry) disk.RenumberMenu();
  disk.MarkModified();
  return true;
}

bool ActivatePartition(CHardDisk& disk, CPartition& object, CPrompt& prompt) {
  if (!IsPrimaryTablePartition(disk, object)) {
    prompt.Message(text::kNotATablePartition, PromptIcon::Stop);
    return false;
  }
  object.SetActiveTable();
  disk.MarkModified();
  return true;
}

bool DeactivatePartition(CHardDisk& disk, CPartition& object, CPrompt& prompt) {
  if (!IsPrimaryTablePartition(disk, object)) {
    prompt.Message(text::kNotATablePartition, PromptIcon::Stop);
    return false;
  }
  object.SetTable();
  disk.MarkModified();
  return true;
}

}  // namespace korvex
