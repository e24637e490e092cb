// "tree": the device tree as the window program shows it, with each node's selector.
#include <cstdio>

#include "cli/Commands.h"
#include "shell/DeviceTree.h"

namespace korvex {
namespace {

const char* KindName(NodeKind kind) {
  switch (kind) {
    case NodeKind::Computer: return "Rechner";
    case NodeKind::Disk: return "Festplatte";
    case NodeKind::BootDisk: return "Festplatte mit Bootmanager";
    case NodeKind::MenuPartition: return "Menüpartition";
    case NodeKind::DataPartition: return "Datenpartition";
    case NodeKind::ExtendedPartition: return "erweiterte Partition";
    case NodeKind::FreeSpace: return "freier Bereich";
  }
  return "";
}

void PrintNode(const DeviceNode& node, int depth) {
  std::string selector;
  if (node.ref.type == NodeRef::Type::Disk) selector = std::to_string(node.ref.device);
  if (node.ref.type == NodeRef::Type::Object) {
    selector = std::to_string(node.ref.device) + ":" + std::to_string(node.ref.object.key);
  }
  std::printf("%*s%s  [%s]%s%s\n", depth * 2, "", node.label.c_str(), KindName(node.kind), selector.empty() ? "" : "  ",
              selector.c_str());
  for (const DeviceNode& child : node.children) PrintNode(child, depth + 1);
}

}  // namespace

int RunTree(CliSession& session, const Arguments& arguments) {
  if (!arguments.empty()) {
    PrintError("tree: unbekanntes Argument " + arguments.front());
    return kExitUsage;
  }
  ObjectDetailsSource details(session.workingCopy(), session.registry());
  PrintNode(BuildDeviceTree(session.workingCopy(), ComputerName(session.registry()), &details), 0);
  return kExitOk;
}

}  // namespace korvex
