// Deleting a partition or logical drive, and switching a table partition's active mark.
#include "partition/LogicalLevelUpkeep.h"
#include "partition/PartitionEditing.h"
#include "partition/TableReader.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

bool HasActivePartition(const CHardDisk& disk) {
  return disk.primary.FindFirst([](const CPartition& p) { return p.IsActiveTable(); }) != nullptr;
}

// Sets the boot indicator of the object ref names (or clears it), or refuses as
// ActivationRefusal says.
bool SetActive(WorkingCopy& workingCopy, const ObjectRef& ref, bool activate, CPrompt& prompt) {
  const auto target = ResolveOrReport(workingCopy, ref, prompt);
  if (!target) return false;
  if (auto refusal = ActivationRefusal(*target, activate)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return false;
  }
  if (activate) {
    target->object->SetActiveTable();
  } else {
    target->object->SetTable();
  }
  workingCopy.MarkModified(ref.device);
  return true;
}

}  // namespace

std::optional<std::string> DeleteRefusal(const ResolvedObject& target) {
  if (target.object->IsFree()) return std::string(text::kFreeAreaNotDeletable);
  return std::nullopt;
}

std::optional<std::string> ActivationRefusal(const ResolvedObject& target, bool activate) {
  const CPartition& object = *target.object;
  if (target.IsLogical() || !object.InPartitionTable()) return std::string(text::kNotATablePartition);
  // With the engine the boot menu decides what starts; the boot indicator is the engine's.
  if (target.disk->EngineInstalled()) return std::string(text::kActivationWithEngine);
  if (!activate) {
    if (!object.IsActiveTable()) return std::string(text::kNotActive);
    return std::nullopt;
  }
  if (object.IsExtended()) return std::string(text::kExtendedNotActivatable);
  if (HasActivePartition(*target.disk)) return std::string(text::kAlreadyActive);
  return std::nullopt;
}

bool DeletePartition(WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  const auto target = ResolveOrReport(workingCopy, ref, prompt);
  if (!target) return false;
  CHardDisk& disk = *target->disk;
  CPartition& object = *target->object;
  if (auto refusal = DeleteRefusal(*target)) {
    prompt.Message(*refusal, PromptIcon::Stop);
    return false;
  }
  const bool extended = object.IsExtended();
  const bool menuEntry = object.InMenu();
  const char* question = extended ? text::kDeleteExtended : text::kDeletePartition;
  if (prompt.Ask(question, PromptButtons::YesNoDefaultNo, PromptIcon::Exclamation) != PromptAnswer::Yes) return false;

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
  return SetActive(workingCopy, ref, true, prompt);
}

bool DeactivatePartition(WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  return SetActive(workingCopy, ref, false, prompt);
}

}  // namespace korvex
