// korvex-cli: the program's operations for scripts. Each run loads the working copy of the
// disks, applies one command and saves the disks it changed.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "ProgramVersion.h"
#include "cli/Commands.h"

namespace korvex {
namespace {

constexpr const char* kDryRun = "--dry-run";

void PrintUsage(std::FILE* stream) {
  std::fprintf(stream,
               "Aufruf: korvex-cli [--disk ABBILD[@KÖPFExSEKTOREN]]... [--demo] [--yes] [--restart] [--dry-run [--json]]\n"
               "                  BEFEHL [ARGUMENTE]\n"
               "        korvex-cli --help | --version | BEFEHL --help\n"
               "Ohne --disk und --demo gelten KORVEX_DISKS oder die Festplatten des Rechners.\n"
               "Objekte: FESTPLATTE:KEY (wie \"list\" sie zeigt), FESTPLATTE:p@SEKTOR, FESTPLATTE:l@SEKTOR.\n"
               "Ändernde Befehle speichern die geänderten Festplatten; --restart bietet danach den Neustart an,\n"
               "--yes beantwortet jede Frage mit Ja. --dry-run (auch hinter dem Befehl) ändert nur die Arbeitskopie,\n"
               "zeigt die Änderungen, die das Speichern schreiben würde, und schreibt nichts (mit --json als JSON).\n"
               "Exit-Status: 0 Erfolg, 1 abgelehnt oder fehlgeschlagen, 2 falscher Aufruf. Ausführlich: man korvex-cli\n\n"
               "Befehle:\n");
  for (const auto& command : CommandTable()) std::fprintf(stream, "  %s\n", command.usage);
}

// What a run asks for besides a command.
enum class Request { Command, Help, Version };

// Global options come before the command; nothing when they are malformed.
std::optional<Request> ParseOptions(int argc, char** argv, CliOptions& options) {
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    const std::string option = argv[i];
    if (option == "--help") {
      return Request::Help;
    } else if (option == "--version") {
      return Request::Version;
    } else if (option == "--disk" && i + 1 < argc) {
      options.diskSpecs.push_back(argv[++i]);
    } else if (option.rfind("--disk=", 0) == 0) {
      options.diskSpecs.push_back(option.substr(7));
    } else if (option == "--demo") {
      options.demo = true;
    } else if (option == "--yes") {
      options.assumeYes = true;
    } else if (option == "--restart") {
      options.restart = true;
    } else if (option == kDryRun) {
      options.dryRun = true;
    } else if (option == "--json") {
      options.json = true;
    } else {
      PrintError("unbekannte Option: " + option);
      return std::nullopt;
    }
  }
  if (i == argc) return std::nullopt;
  options.command = argv[i++];
  options.arguments.assign(argv + i, argv + argc);
  // --dry-run may also follow the command, where a user adds it to a command line at hand.
  const auto dryRun = std::remove(options.arguments.begin(), options.arguments.end(), kDryRun);
  options.dryRun = options.dryRun || dryRun != options.arguments.end();
  options.arguments.erase(dryRun, options.arguments.end());
  if (options.json && !options.dryRun) {
    PrintError("--json vor dem Befehl gilt nur mit --dry-run");
    return std::nullopt;
  }
  return Request::Command;
}

// What a command writes besides the save of the working copy, which a dry run cannot hold back:
// nothing when it writes nothing else.
std::optional<std::string> WrittenBesidesTheSave(const std::string& command, const Arguments& arguments) {
  const auto first = [&](const char* word) { return !arguments.empty() && arguments[0] == word; };
  if (command == "registry") return "die Registry";
  if (command == "boot") return "Sektor 0 und den Neustart";
  if (command == "image" && (first("save") || first("restore"))) return "ein Partitionsabbild";
  if (command == "backup" && first("export")) return "eine Sicherungsdatei";
  if (command == "install-engine" && std::find(arguments.begin(), arguments.end(), "--backup") != arguments.end()) {
    return "eine Sicherungsdatei";
  }
  return std::nullopt;
}

int Main(int argc, char** argv) {
  CliOptions options;
  const auto request = ParseOptions(argc, argv, options);
  if (!request) {
    PrintUsage(stderr);
    return kExitUsage;
  }
  if (*request == Request::Help) {
    PrintUsage(stdout);
    return kExitOk;
  }
  if (*request == Request::Version) {
    std::printf("korvex-cli %s\n", kProgramVersion);
    return kExitOk;
  }
  const CliCommand* command = nullptr;
  for (const auto& candidate : CommandTable()) {
    if (options.command == candidate.name) command = &candidate;
  }
  if (command == nullptr) {
    PrintError("unbekannter Befehl: " + options.command);
    PrintUsage(stderr);
    return kExitUsage;
  }
  // "COMMAND --help": that command's line of the usage, before any disk is opened.
  if (std::find(options.arguments.begin(), options.arguments.end(), "--help") != options.arguments.end()) {
    std::printf("Aufruf: korvex-cli [OPTIONEN] %s\n", command->usage);
    return kExitOk;
  }
  if (options.dryRun) {
    if (const auto written = WrittenBesidesTheSave(options.command, options.arguments)) {
      PrintError("--dry-run: \"" + options.command + "\" schreibt " + *written +
                 " außerhalb der Arbeitskopie; ein Probelauf ist damit nicht möglich");
      return kExitUsage;
    }
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
