// "delete OBJECT": deletes a partition or logical drive after the question.
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "partition/PartitionEditing.h"

namespace korvex {

int RunDelete(CliSession& session, const Arguments& arguments) {
  const auto object = TheOneObject(session, arguments, "delete");
  if (!object) return kExitUsage;
  if (!DeletePartition(session.workingCopy(), *object, session.prompt())) return kExitFailed;
  return SaveChanges(session);
}

}  // namespace korvex
