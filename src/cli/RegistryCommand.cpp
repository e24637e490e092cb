// "registry import FILE": imports a .reg file (the partition type catalogue) into the user's
// registry store.
#include "cli/Commands.h"

namespace korvex {

int RunRegistry(CliSession& session, const Arguments& arguments) {
  if (arguments.size() != 2 || arguments[0] != "import") {
    PrintError("Aufruf: registry import DATEI.reg");
    return kExitUsage;
  }
  std::string error;
  if (!ImportRegFile(session.registry(), arguments[1], error)) {
    PrintError(error);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace korvex
