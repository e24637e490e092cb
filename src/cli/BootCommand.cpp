// "boot OBJECT": restarts the machine into one menu entry of the boot engine, without its menu.
// KORVEX_RESTART_COMMAND names a command that stands in for the restart (tests).
#include "bootengine/DirectBoot.h"
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"

namespace korvex {

int RunBoot(CliSession& session, const Arguments& arguments) {
  const auto entry = TheOneObject(session, arguments, "boot");
  if (!entry) return kExitUsage;
  auto restart = SystemRestartService();
  const DirectBootResult result = BootPartition(session.workingCopy(), *entry, session.prompt(), *restart);
  return result == DirectBootResult::Restarting ? kExitOk : kExitFailed;
}

}  // namespace korvex

namespace korvex {

// "cancel-boot [DISK]": cancels a direct boot that is still pending (the restart did not
// happen), then saves the disk.
int RunCancelBoot(CliSession& session, const Arguments& arguments) {
  if (arguments.size() > 1) {
    PrintError("Aufruf: cancel-boot [FESTPLATTE]");
    return kExitUsage;
  }
  CHardDisk* disk = SelectDisk(session, arguments.empty() ? "0" : arguments[0]);
  if (disk == nullptr) return kExitUsage;
  if (!CancelDirectBoot(*disk, session.prompt())) return kExitFailed;
  return SaveChanges(session);
}

}  // namespace korvex
