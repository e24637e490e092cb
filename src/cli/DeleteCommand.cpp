// "delete OBJECT": deletes a partition or logical drive after the question.
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "partition/PartitionEditing.h"

namespace korvex {

int RunDelete(CliSession& session, const Arguments& arguments) {
  if (arguments.size() != 1) {
    PrintError("Aufruf: delete OBJEKT");
    return kExitUsage;
  }
  const auto selected = SelectObject(session, arguments[0]);
  if (!selected) return kExitUsage;
  if (!DeletePartition(*selected->disk, *selected->level, *selected->object, session.prompt())) return kExitFailed;
  return SaveChanges(session);
}

}  // namespace korvex
