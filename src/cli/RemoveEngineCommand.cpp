// "remove-engine [DISK] --mode empty|backup FILE|keep [N…]": removes the boot engine; keep
// moves the menu partitions numbered 1.. in level order (the removal dialog's check boxes)
// into the partition table. Then saves the disk.
#include <cstdio>

#include "bootengine/EngineRemoval.h"
#include "cli/Commands.h"
#include "cli/EngineArguments.h"
#include "cli/ObjectSelector.h"

namespace korvex {
namespace {

constexpr const char* kUsage = "Aufruf: remove-engine [FESTPLATTE] --mode empty|backup DATEI|keep [N...]";

// The request the arguments after DISK describe; nothing after reporting a usage error.
std::optional<RemovalRequest> ParseRequest(const Arguments& arguments, std::size_t next) {
  if (next + 1 >= arguments.size() || arguments[next] != "--mode") return std::nullopt;
  const std::string mode = arguments[next + 1];
  next += 2;
  RemovalRequest request;
  if (mode == "empty") {
    request.mode = RemovalMode::EmptyMbr;
  } else if (mode == "backup" && next < arguments.size()) {
    request.mode = RemovalMode::FromBackup;
    request.backupPath = arguments[next++];
  } else if (mode == "keep") {
    request.mode = RemovalMode::KeepPartitions;
    const auto numbers = TakeChoiceNumbers(arguments, next, layout::CONST_MENU_ENTRIES, "keep");
    if (!numbers) return std::nullopt;
    request.keep = *numbers;
  } else {
    return std::nullopt;
  }
  if (next != arguments.size()) return std::nullopt;
  return request;
}

}  // namespace

int RunRemoveEngine(CliSession& session, const Arguments& arguments) {
  std::size_t next = 0;
  CHardDisk* disk = SelectEngineDisk(session, arguments, next);
  if (disk == nullptr) return kExitUsage;
  const auto request = ParseRequest(arguments, next);
  if (!request) {
    PrintError(kUsage);
    return kExitUsage;
  }
  if (!RemoveEngine(*disk, *request, session.prompt())) return kExitFailed;
  return SaveChanges(session);
}

}  // namespace korvex
