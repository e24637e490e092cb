// "backup export|import [DISK] FILE": writes the disk's first two sectors (as they are on the
// disk) to a backup file, or loads such a file into the working copy and saves it.
#include "backup/BackupFile.h"
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"

namespace korvex {

int RunBackup(CliSession& session, const Arguments& arguments) {
  if (arguments.size() < 2 || arguments.size() > 3 || (arguments[0] != "export" && arguments[0] != "import")) {
    PrintError("Aufruf: backup export|import [FESTPLATTE] DATEI");
    return kExitUsage;
  }
  CHardDisk* disk = SelectDisk(session, arguments.size() == 3 ? arguments[1] : "0");
  if (disk == nullptr) return kExitUsage;
  const std::string& path = arguments.back();
  if (arguments[0] == "export") return ExportBackup(*disk, path, session.prompt()) ? kExitOk : kExitFailed;
  if (!ImportBackup(*disk, path, session.prompt())) return kExitFailed;
  return SaveChanges(session);
}

}  // namespace korvex
