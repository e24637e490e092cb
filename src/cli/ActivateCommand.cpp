// "activate OBJECT" and "deactivate OBJECT": the boot indicator of a primary table partition.
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "partition/PartitionEditing.h"

namespace korvex {
namespace {

int RunSetActive(CliSession& session, const Arguments& arguments, bool active) {
  if (arguments.size() != 1) {
    PrintError(active ? "Aufruf: activate OBJEKT" : "Aufruf: deactivate OBJEKT");
    return kExitUsage;
  }
  const auto object = ParseObjectRef(session, arguments[0]);
  if (!object) return kExitUsage;
  const bool done = active ? ActivatePartition(session.workingCopy(), *object, session.prompt())
                           : DeactivatePartition(session.workingCopy(), *object, session.prompt());
  return done ? SaveChanges(session) : kExitFailed;
}

}  // namespace

int RunActivate(CliSession& session, const Arguments& arguments) { return RunSetActive(session, arguments, true); }
int RunDeactivate(CliSession& session, const Arguments& arguments) { return RunSetActive(session, arguments, false); }

}  // namespace korvex
