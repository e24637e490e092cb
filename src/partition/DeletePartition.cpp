// Deleting a partition or logical drive, and switching a table partition's active mark.
#include "partition/LogicalLevelUpkeep.h"
#include "partition/PartitionEditing.h"
#include "partition/TableReader.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// The primary table partition ref names; nothing after a stop message for any other object.
CPartition* PrimaryTablePartition(WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  const auto target = ResolveOrReport(workingCopy, ref, prompt);
  if (!target) return nullptr;
  if (target->IsLogical() || !target->object->InPartitionTable()) {
    prompt.Message(text::kNotATablePartition, PromptIcon::Stop);
    return nullptr;
  }
  return target->object;
}

}  // namespace

bool DeletePartition(WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  const auto target = ResolveOrReport(workingCopy, ref, prompt);
  if (!target) return false;
  CHardDisk& disk = *target->disk;
  CPartition& object = *target->object;
  if (object.IsFree()) {
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
  if (object.isDefault) disk.PassDefault(object, *target->level, prompt);
  const bool logical = target->IsLogical();
  // Both levels: a deleted logical drive's space merges with the free areas around it.
  RebuildFreeAreas(disk);  // object is destroyed here
  if (logical) NumberLogicalDrives(disk);
  // The remaining menu entries close the gap, so positions and the default-entry byte agree.
  if (menuEntry) disk.RenumberMenu();
  disk.MarkModified();
  return true;
}

bool ActivatePartition(WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  CPartition* object = PrimaryTablePartition(workingCopy, ref, prompt);
  if (object == nullptr) return false;
  object->SetActiveTable();
  workingCopy.MarkModified(ref.device);
  return true;
}

bool DeactivatePartition(WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  CPartition* object = PrimaryTablePartition(workingCopy, ref, prompt);
  if (object == nullptr) return false;
  object->SetTable();
  workingCopy.MarkModified(ref.device);
  return true;
}

}  // namespace korvex
