// "selftest [DISK] [--check-only]": runs the boot engine's self test and prints its report;
// repairs are saved. The exit status is 0 whenever the test ran, whatever it found.
#include <cstdio>

#include "bootengine/SelfTest.h"
#include "cli/Commands.h"
#include "cli/EngineArguments.h"
#include "cli/ObjectSelector.h"

namespace korvex {
namespace {

// The report's "\r\n" line breaks as the terminal's.
std::string TerminalLines(std::string text) {
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
  return text;
}

}  // namespace

int RunSelfTest(CliSession& session, const Arguments& arguments) {
  std::size_t next = 0;
  CHardDisk* disk = SelectEngineDisk(session, arguments, next);
  if (disk == nullptr) return kExitUsage;
  bool checkOnly = false;
  for (; next < arguments.size(); ++next) {
    if (arguments[next] != "--check-only") {
      PrintError("Aufruf: selftest [FESTPLATTE] [--check-only]");
      return kExitUsage;
    }
    checkOnly = true;
  }
  const SelfTestReport report = SelfTest(*disk, checkOnly);
  if (!report.tested) {
    session.prompt().Message(report.text, PromptIcon::Stop);
    return kExitFailed;
  }
  std::printf("%s\n", TerminalLines(report.text).c_str());
  std::fflush(stdout);
  return SaveChanges(session);
}

}  // namespace korvex
