#include "shell/DeviceTree.h"

#include <algorithm>

#include "disk/FormatSize.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {

NodeKind DiskKind(const CHardDisk& disk) { return disk.EngineInstalled() ? NodeKind::BootDisk : NodeKind::Disk; }

NodeKind ObjectKind(const CPartition& object, LevelKind level) {
  if (object.IsFree()) return NodeKind::FreeSpace;
  if (level == LevelKind::Logical) return NodeKind::DataPartition;
  if (object.InMenu() || object.IsActiveTable()) return NodeKind::MenuPartition;
  return object.IsExtended() ? NodeKind::ExtendedPartition : NodeKind::DataPartition;
}

std::string ObjectLabel(const CPartition& object) {
  const std::string size = FormatSize(std::uint64_t{object.length} * 512);
  if (object.IsFree()) return StrFormat(LoadResString(IDS_FREE_NODE).c_str(), size.c_str());
  return StrFormat(LoadResString(IDS_TYPE_NODE).c_str(), object.type, size.c_str());
}

std::string ObjectLabel(const CPartition& object, const ObjectDetails& details) {
  const std::string more = DetailsText(details);
  return more.empty() ? ObjectLabel(object) : ObjectLabel(object) + "  " + more;
}

std::optional<NodeKind> KindOf(const WorkingCopy& workingCopy, const NodeRef& ref) {
  switch (ref.type) {
    case NodeRef::Type::Computer:
      return NodeKind::Computer;
    case NodeRef::Type::Disk:
      if (const CHardDisk* disk = workingCopy.Find(ref.device)) return DiskKind(*disk);
      return std::nullopt;
    case NodeRef::Type::Object:
      if (const auto resolved = Resolve(workingCopy, ref.object)) return ObjectKind(*resolved->object, ref.object.level);
      return std::nullopt;
  }
  return std::nullopt;
}

std::string ComputerName(const RegistryStore& registry) {
  return RegReadString(registry, RegRoot::LocalMachine, kComputerNameKey, "ComputerName", "unbekannt");
}

namespace {

DeviceNode ObjectNode(CHardDisk& disk, LevelKind level, const PartitionLevel::Item& item,
                      ObjectDetailsSource* source) {
  const ObjectDetails details = source != nullptr ? source->Of(disk, level, *item.object) : ObjectDetails{};
  return {NodeRef::Object({disk.DeviceNumber(), level, item.key}), ObjectKind(*item.object, level),
          ObjectLabel(*item.object, details), {}, details, item.object->start, item.object->length};
}

DeviceNode DiskNode(CHardDisk& disk, ObjectDetailsSource* source) {
  // A disk that could not be read whole is never saved; its node says so before a save is tried.
  std::string label = disk.label;
  if (!disk.readFailures.empty()) {
    label += text::kUnreadDiskMark;
  } else if (disk.logicalChainBroken) {
    label += text::kBrokenChainMark;
  }
  DeviceNode node{NodeRef::Disk(disk.DeviceNumber()), DiskKind(disk), label, {}, {}};
  // The logical level hangs below the extended partition that holds it (the first one, should
  // a damaged table hold two).
  const CPartition* extended = disk.FindExtended();
  for (const auto& item : disk.primary.items()) {
    DeviceNode& child = node.children.emplace_back(ObjectNode(disk, LevelKind::Primary, item, source));
    if (item.object.get() != extended) continue;
    for (const auto& drive : disk.logical.items()) {
      child.children.push_back(ObjectNode(disk, LevelKind::Logical, drive, source));
    }
  }
  return node;
}

}  // namespace

DeviceNode BuildDeviceTree(const WorkingCopy& workingCopy, const std::string& computerName,
                           ObjectDetailsSource* details) {
  DeviceNode root{NodeRef::Computer(), NodeKind::Computer, computerName, {}, {}};
  if (details != nullptr) details->ReadTypeNames();
  // By device number: the map's text keys would put PHYSICALDRIVE10 before PHYSICALDRIVE2.
  std::vector<CHardDisk*> disks;
  for (const auto& [key, disk] : workingCopy.disks()) disks.push_back(disk.get());
  std::sort(disks.begin(), disks.end(), [](auto* a, auto* b) { return a->DeviceNumber() < b->DeviceNumber(); });
  for (CHardDisk* disk : disks) root.children.push_back(DiskNode(*disk, details));
  return root;
}

}  // namespace korvex
