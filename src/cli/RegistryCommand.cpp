// "registry import FILE" imports a .reg file into the user's registry store;
// "registry ensure-catalogue FILE" does so only when the store holds no partition type
// catalogue yet, so a catalogue the user edited is kept.
#include <cstdio>

#include "cli/Commands.h"
#include "parttypes/PartTypeCatalogue.h"

namespace korvex {

int RunRegistry(CliSession& session, const Arguments& arguments) {
  const bool ensure = arguments.size() == 2 && arguments[0] == "ensure-catalogue";
  if (arguments.size() != 2 || (arguments[0] != "import" && !ensure)) {
    PrintError("Aufruf: registry import DATEI.reg | registry ensure-catalogue DATEI.reg");
    return kExitUsage;
  }
  if (ensure && HasPartTypeCatalogue(session.registry())) return kExitOk;
  std::string error;
  if (!ImportRegFile(session.registry(), arguments[1], error)) {
    PrintError(error);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace korvex
