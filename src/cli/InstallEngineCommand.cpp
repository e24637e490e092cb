// "install-engine [DISK] --entry N [N…] [--backup FILE]": installs the boot engine with the
// first four objects of the primary level numbered 1..4 as the install dialog offers them,
// then saves the disk.
#include <cstdio>

#include "bootengine/EngineInstall.h"
#include "cli/Commands.h"
#include "cli/EngineArguments.h"
#include "cli/ObjectSelector.h"

namespace korvex {
namespace {

constexpr const char* kUsage = "Aufruf: install-engine [FESTPLATTE] --entry N [N...] [--backup DATEI]";

void PrintChoices(const CHardDisk& disk) {
  std::fprintf(stderr, "Zur Wahl auf %s:\n", disk.DeviceName().c_str());
  unsigned number = 1;
  for (const InstallChoice& choice : InstallChoices(disk)) {
    std::fprintf(stderr, "  %u  %s (Start %u)%s\n", number++, choice.text.c_str(), choice.partition->start,
                 choice.bootable ? "" : "  nicht wählbar");
  }
}

}  // namespace

int RunInstallEngine(CliSession& session, const Arguments& arguments) {
  std::size_t next = 0;
  CHardDisk* disk = SelectEngineDisk(session, arguments, next);
  if (disk == nullptr) return kExitUsage;
  std::vector<unsigned> chosen;
  std::string backup;
  while (next < arguments.size()) {
    const std::string option = arguments[next++];
    if (option == "--entry") {
      const auto numbers = TakeChoiceNumbers(arguments, next, 4, option);
      if (!numbers) return kExitUsage;
      chosen.insert(chosen.end(), numbers->begin(), numbers->end());
    } else if (option == "--backup" && next < arguments.size()) {
      backup = arguments[next++];
    } else {
      PrintError(kUsage);
      return kExitUsage;
    }
  }
  if (chosen.empty() && !disk->EngineInstalled()) PrintChoices(*disk);
  if (!InstallEngine(*disk, chosen, backup, session.prompt())) return kExitFailed;
  return SaveChanges(session);
}

}  // namespace korvex
