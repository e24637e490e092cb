// korvex-cli: the program's operations for scripts. Each run loads the working copy of the
// disks, applies one command and saves the disks it changed.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/Commands.h"

namespace korvex {
namespace {

void PrintUsage() {
  std::fprintf(stderr,
               "Aufruf: korvex-cli [--disk ABBILD[@KÖPFExSEKTOREN]]... [--demo] [--yes] [--restart] BEFEHL [ARGUMENTE]\n"
               "Ohne --disk und --demo gelten KORVEX_DISKS oder die Festplatten des Rechners.\n"
               "Objekte: FESTPLATTE:KEY (wie \"list\" sie zeigt), FESTPLATTE:p@SEKTOR, FESTPLATTE:l@SEKTOR.\n"
               "Ändernde Befehle speichern die geänderten Festplatten; --restart bietet danach den Neustart an.\n\n"
               "Befehle:\n");
  for (const auto& command : CommandTable()) std::fprintf(stderr, "  %s\n", command.usage);
}

// Global options come before the command; nothing when they are malformed.
bool ParseOptions(int argc, char** argv, CliOptions& options) {
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const std::string option = argv[i];
    if (option == "--disk" && i + 1 < argc) {
      options.diskSpecs.push_back(argv[++i]);
    } else if (option.rfind("--disk=", 0) == 0) {
      options.diskSpecs.push_back(option.substr(7));
    } else if (option == "--demo") {
      options.demo = true;
    } else if (option == "--yes") {
      options.assumeYes = true;
    } else if (option == "--restart") {
      options.restart = true;
    } else {
      PrintError("unbekannte Option: " + option);
      return false;
    }
  }
  if (i == argc) return false;
  options.command = argv[i++];
  options.arguments.assign(argv + i, argv + argc);
  return true;
}

int Main(int argc, char** argv) {
  CliOptions options;
  if (!ParseOptions(argc, argv, options)) {
    PrintUsage();
    return kExitUsage;
  }
  const CliCommand* command = nullptr;
  for (const auto& candidate : CommandTable()) {
    if (options.command == candidate.name) command = &candidate;
  }
  if (command == nullptr) {
    PrintError("unbekannter Befehl: " + options.command);
    PrintUsage();
    return kExitUsage;
  }
  CliSession session(std::move(options));
  if (!session.OpenPlatform()) return kExitFailed;
  if (command->needsDisks) session.LoadDisks();
  const int status = command->run(session, session.options().arguments);
  // A named image that could not be used (reported while loading) fails the run.
  if (status == kExitOk && command->needsDisks && !session.workingCopy().UnusableImages().empty()) return kExitFailed;
  return status;
}

}  // namespace
}  // namespace korvex

int main(int argc, char** argv) { return korvex::Main(argc, argv); }
