// The entry point of the installer program: "korvex-setup [FOLDER]" installs from FOLDER, by
// default from the folder that holds it. --help, --version and an unknown option are answered
// before the window system is opened, so they work without a display.
#include <cstdio>
#include <cstring>

#include "ProgramVersion.h"
#include "setup/dialogs/SetupApp.h"

wxIMPLEMENT_APP_NO_MAIN(korvex::setup::CSetupApp);

int main(int argc, char** argv) {
  constexpr const char* kUsage = "Aufruf: korvex-setup [VERZEICHNIS]\n        korvex-setup --help | --version";
  constexpr int kExitUsage = 2;
  if (argc > 1 && argv[1][0] == '-') {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
      std::printf("%s\nInstalliert Korvex aus VERZEICHNIS (sonst aus dem Verzeichnis von korvex-setup) für den "
                  "angemeldeten Benutzer.\nAusführlich: man korvex-setup\n", kUsage);
      return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
      std::printf("korvex-setup %s\n", korvex::kProgramVersion);
      return 0;
    }
    std::fprintf(stderr, "%s\n", kUsage);
    return kExitUsage;
  }
  if (argc > 2) {
    std::fprintf(stderr, "%s\n", kUsage);
    return kExitUsage;
  }
  // A program that could not start (no display, no catalogue, ...) ends with status 1.
  const int status = wxEntry(argc, argv);
  return status < 0 ? 1 : status;
}
