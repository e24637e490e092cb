// "check OBJECT": the overlap report of "Prüfen" for one object, on stdout.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "partition/PositionChecks.h"

namespace korvex {

int RunCheck(CliSession& session, const Arguments& arguments) {
  const auto object = TheOneObject(session, arguments, "check");
  if (!object) return kExitUsage;
  const auto report = CheckReport(session.workingCopy(), *object, session.prompt());
  if (!report) return kExitFailed;
  std::printf("%s%s", report->c_str(), report->ends_with('\n') ? "" : "\n");
  return kExitOk;
}

}  // namespace korvex
