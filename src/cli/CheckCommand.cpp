// "check OBJECT": the overlap report of "Prüfen" for one object, on stdout.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "partition/PositionChecks.h"
#include "platform/StringTable.h"

namespace korvex {

int RunCheck(CliSession& session, const Arguments& arguments) {
  if (arguments.size() != 1) {
    PrintError("Aufruf: check OBJEKT");
    return kExitUsage;
  }
  const auto selected = SelectObject(session, arguments[0]);
  if (!selected) return kExitUsage;
  const CPartition* extended = selected->IsLogical() ? selected->disk->FindExtended() : nullptr;
  const std::string report = CheckPartition(*selected->level, *selected->object, extended,
                                                selected->disk->UsableSectors());
  std::printf("%s", report.empty() ? (LoadResString(IDS_NO_ERRORS) + "\n").c_str() : report.c_str());
  return kExitOk;
}

}  // namespace korvex
