// "activate OBJECT" and "deactivate OBJECT": the boot indicator of a primary table partition.
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "partition/PartitionEditing.h"

namespace korvex {
namespace {

int RunSetActive(CliSession& session, const Arguments& arguments, const char* command, bool active) {
  const auto object = TheOneObject(session, arguments, command);
  if (!object) return kExitUsage;
  return SetActive(session.workingCopy(), *object, active, session.prompt()) ? SaveChanges(session) : kExitFailed;
}

}  // namespace

int RunActivate(CliSession& session, const Arguments& arguments) {
  return RunSetActive(session, arguments, "activate", true);
}
int RunDeactivate(CliSession& session, const Arguments& arguments) {
  return RunSetActive(session, arguments, "deactivate", false);
}

}  // namespace korvex
