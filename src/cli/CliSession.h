#pragma once
// Everything one run of korvex-cli works with: its options, the device list, the registry
// store, the terminal prompt and the working copy of the disks.
#include <memory>
#include <string>
#include <vector>

#include "cli/TerminalPrompt.h"
#include "shell/ProgramStart.h"

namespace korvex {

// Exit statuses of korvex-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct CliOptions {
  std::vector<std::string> diskSpecs;
  bool demo = false;
  bool assumeYes = false;
  bool restart = false;  // after saving, offer to restart the machine
  bool dryRun = false;   // the command changes the working copy, the changes are listed, nothing is written
  bool json = false;     // the dry run's list as JSON
  std::string command;
  std::vector<std::string> arguments;
};

class CliSession {
 public:
  explicit CliSession(CliOptions options) : options_(std::move(options)), prompt_(options_.assumeYes) {}

  // Opens the platform as the program does at start (the catalogue is not required, so that
  // "registry ensure-catalogue" can bring one); false after reporting why.
  bool OpenPlatform();
  // Loads the working copy of every disk of the device list.
  void LoadDisks() { context_->workingCopy().LoadAll(); }

  const CliOptions& options() const { return options_; }
  CPrompt& prompt() { return prompt_; }
  RegistryStore& registry() { return context_->registry(); }
  WorkingCopy& workingCopy() { return context_->workingCopy(); }

 private:
  CliOptions options_;
  TerminalPrompt prompt_;
  std::unique_ptr<ProgramContext> context_;
};

// Reports a usage or failure text on stderr.
void PrintError(const std::string& text);

}  // namespace korvex
