#include "partition/ObjectRef.h"

#include "platform/Texts.h"

namespace korvex {

PartitionLevel& LevelOf(CHardDisk& disk, LevelKind level) {
  return level == LevelKind::Logical ? disk.logical : disk.primary;
}

std::optional<ResolvedObject> Resolve(const WorkingCopy& workingCopy, const ObjectRef& ref) {
  CHardDisk* disk = workingCopy.Find(ref.device);
  if (disk == nullptr) return std::nullopt;
  PartitionLevel& level = LevelOf(*disk, ref.level);
  CPartition* object = level.Find(ref.key);
  if (object == nullptr) return std::nullopt;
  return ResolvedObject{disk, &level, object};
}

std::optional<ResolvedObject> ResolveOrReport(const WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt) {
  auto resolved = Resolve(workingCopy, ref);
  if (!resolved) prompt.Message(text::kObjectGone, PromptIcon::Stop);
  return resolved;
}

std::optional<ObjectRef> FindObjectAt(const WorkingCopy& workingCopy, unsigned device, LevelKind level,
                                      std::uint32_t start) {
  CHardDisk* disk = workingCopy.Find(device);
  if (disk == nullptr) return std::nullopt;
  const PartitionLevel& objects = LevelOf(*disk, level);
  const CPartition* found = objects.FindFirst([&](const CPartition& p) { return p.start == start; });
  if (found == nullptr) return std::nullopt;
  return ObjectRef{device, level, objects.KeyOf(found)};
}

std::optional<ObjectRef> FindObjectByKey(const WorkingCopy& workingCopy, unsigned device, PartitionKey key) {
  CHardDisk* disk = workingCopy.Find(device);
  if (disk == nullptr) return std::nullopt;
  for (const LevelKind level : {LevelKind::Primary, LevelKind::Logical}) {
    if (LevelOf(*disk, level).Find(key) != nullptr) return ObjectRef{device, level, key};
  }
  return std::nullopt;
}

std::optional<ObjectRef> RefOf(const CHardDisk& disk, const CPartition& object) {
  if (const PartitionKey key = disk.primary.KeyOf(&object)) return ObjectRef{disk.DeviceNumber(), LevelKind::Primary, key};
  if (const PartitionKey key = disk.logical.KeyOf(&object)) return ObjectRef{disk.DeviceNumber(), LevelKind::Logical, key};
  return std::nullopt;
}

}  // namespace korvex
