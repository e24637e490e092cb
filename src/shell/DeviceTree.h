#pragma once
// The device tree as data: the computer, its disks, and on each disk its partitions, logical
// drives and gaps, each with its kind and label. The window program shows it; the command
// states and context menus are decided from it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "partition/ObjectRef.h"
#include "platform/Registry.h"
#include "shell/ObjectDetails.h"

namespace korvex {

// The kind of a node, kept as its icon number in the tree's icon strip.
enum class NodeKind : int {
  Disk = 1,
  Computer = 4,
  DataPartition = 5,
  MenuPartition = 6,
  FreeSpace = 7,
  ExtendedPartition = 8,
  BootDisk = 10,
};

// What a node stands for: the computer, a disk, or an object of a disk's working copy.
struct NodeRef {
  enum class Type { Computer, Disk, Object };
  Type type = Type::Computer;
  unsigned device = 0;  // Disk and Object
  ObjectRef object;     // Object only
  bool operator==(const NodeRef&) const = default;

  static NodeRef Computer() { return {}; }
  static NodeRef Disk(unsigned device) { return {Type::Disk, device, {}}; }
  static NodeRef Object(const ObjectRef& ref) { return {Type::Object, ref.device, ref}; }
};

struct DeviceNode {
  NodeRef ref;
  NodeKind kind = NodeKind::Computer;
  std::string label;
  std::vector<DeviceNode> children;
  ObjectDetails details;  // an object's type name, partition name and file system
  // The sectors an object spans (a logical drive's from its extended boot record on).
  std::uint64_t first = 0;
  std::uint64_t sectors = 0;
};

NodeKind DiskKind(const CHardDisk& disk);
// Primary level: Menu, NewMenu, ActiveTable → MenuPartition; Table, NewTable → ExtendedPartition
// for types 5 and 15, else DataPartition; Free → FreeSpace. Logical level: Free → FreeSpace,
// anything else DataPartition.
NodeKind ObjectKind(const CPartition& object, LevelKind level);
// "%s frei" for a gap, "Typ %d  %s" for anything else, with the size as FormatSize gives it.
std::string ObjectLabel(const CPartition& object);

// The kind of the node ref names; nothing when it names nothing (any more).
std::optional<NodeKind> KindOf(const WorkingCopy& workingCopy, const NodeRef& ref);

// The computer's name as the machine part of the registry store holds it, else "unbekannt".
std::string ComputerName(const RegistryStore& registry);

// ObjectLabel, followed by the details that tell the object apart (two blanks before them):
// "Typ 131  1.00 GB  Linux  sda5  ext4 'home'".
std::string ObjectLabel(const CPartition& object, const ObjectDetails& details);

// The whole tree: the computer, its disks in device order, their primary objects in level order
// with the logical level below the extended partition (types 5 and 15) that holds it. With
// details, an object's label names its type, partition and file system too.
DeviceNode BuildDeviceTree(const WorkingCopy& workingCopy, const std::string& computerName,
                           ObjectDetailsSource* details = nullptr);

}  // namespace korvex
