// "save": writes every changed disk and asks whether to restart ("Speichern"), or with a disk
// number only that disk, after the check of its boot menu.
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "partition/DiskSaver.h"
#include "platform/RestartService.h"

namespace korvex {

int RunSave(CliSession& session, const Arguments& arguments) {
  if (arguments.size() > 1) {
    PrintError("Aufruf: save [FESTPLATTE]");
    return kExitUsage;
  }
  if (arguments.empty()) {
    auto restart = SystemRestartService();
    return SaveAll(session.workingCopy(), session.prompt(), *restart) ? kExitOk : kExitFailed;
  }
  CHardDisk* disk = SelectDisk(session, arguments[0]);
  if (disk == nullptr) return kExitUsage;
  return SaveSingleDisk(*disk, session.prompt()) ? kExitOk : kExitFailed;
}

}  // namespace korvex
