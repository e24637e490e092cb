// "save": writes every changed disk (with --restart followed by the restart question), or with
// a disk number only that disk, after the check of its boot menu.
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"

namespace korvex {

int RunSave(CliSession& session, const Arguments& arguments) {
  if (arguments.size() > 1) {
    PrintError("Aufruf: save [FESTPLATTE]");
    return kExitUsage;
  }
  if (arguments.empty()) return SaveChanges(session);
  CHardDisk* disk = SelectDisk(session, arguments[0]);
  if (disk == nullptr) return kExitUsage;
  return SaveChanges(session, disk->DeviceNumber());
}

}  // namespace korvex
