// The entry point of the window program. --help, --version and a malformed command line are
// answered before the window system is opened, so they work without a display.
#include <cstdio>
#include <string>
#include <vector>

#include "ProgramVersion.h"
#include "app/KorvexApp.h"

wxIMPLEMENT_APP_NO_MAIN(korvex::CKorvexApp);

int main(int argc, char** argv) {
  constexpr int kExitUsage = 2;
  std::string usage;
  const auto options = korvex::ParseProgramArguments(std::vector<std::string>(argv + 1, argv + argc), usage);
  if (!options) {
    std::fprintf(stderr, "%s\n", usage.c_str());
    return kExitUsage;
  }
  if (options->help) {
    std::printf("%s\n", korvex::ProgramHelp().c_str());
    return 0;
  }
  if (options->version) {
    std::printf("korvex %s\n", korvex::kProgramVersion);
    return 0;
  }
  // A program that could not start (no display, no catalogue, ...) ends with status 1.
  const int status = wxEntry(argc, argv);
  return status < 0 ? 1 : status;
}
