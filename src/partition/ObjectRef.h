#pragma once
// One way to name an object of the working copy: its disk, its level and its key. Keys stay
// with their object for its whole life, so a reference stays valid across edits of other
// objects; it resolves to nothing once the object is gone or its disk was reloaded.
#include <cstdint>
#include <optional>

#include "partition/WorkingCopy.h"
#include "platform/Prompt.h"

namespace korvex {

enum class LevelKind { Primary, Logical };

struct ObjectRef {
  unsigned device = 0;
  LevelKind level = LevelKind::Primary;
  PartitionKey key = 0;
  bool operator==(const ObjectRef&) const = default;
};

// What a reference names.
struct ResolvedObject {
  CHardDisk* disk = nullptr;
  PartitionLevel* level = nullptr;
  CPartition* object = nullptr;
  bool IsLogical() const { return level == &disk->logical; }
};

std::optional<ResolvedObject> Resolve(const WorkingCopy& workingCopy, const ObjectRef& ref);
// The same for an operation: a reference that names nothing (a view may still hold one of an
// object that a reload or a deletion took away) is told to the user with a stop message.
std::optional<ResolvedObject> ResolveOrReport(const WorkingCopy& workingCopy, const ObjectRef& ref, CPrompt& prompt);

PartitionLevel& LevelOf(CHardDisk& disk, LevelKind level);

// The first object of the level, in level order, that starts at sector start.
std::optional<ObjectRef> FindObjectAt(const WorkingCopy& workingCopy, unsigned device, LevelKind level,
                                      std::uint32_t start);
// The object with key on the disk, looked up in the primary level first.
std::optional<ObjectRef> FindObjectByKey(const WorkingCopy& workingCopy, unsigned device, PartitionKey key);

// The reference of an object of disk (of either level); nothing when it is not there.
std::optional<ObjectRef> RefOf(const CHardDisk& disk, const CPartition& object);

}  // namespace korvex
