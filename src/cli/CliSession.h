#pragma once
// Everything one run of korvex-cli works with: its options, the device list, the registry
// store, the terminal prompt and the working copy of the disks.
#include <memory>
#include <string>
#include <vector>

#include "cli/TerminalPrompt.h"
#include "partition/WorkingCopy.h"
#include "platform/DeviceList.h"
#include "platform/Registry.h"

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
  std::string command;
  std::vector<std::string> arguments;
};

class CliSession {
 public:
  explicit CliSession(CliOptions options) : options_(std::move(options)), prompt_(options_.assumeYes) {}

  // Builds the device list and opens the registry store; false after reporting why.
  bool OpenPlatform();
  // Loads the working copy of every disk of the device list.
  void LoadDisks();

  const CliOptions& options() const { return options_; }
  CPrompt& prompt() { return prompt_; }
  RegistryStore& registry() { return *registry_; }
  WorkingCopy& workingCopy() { return *workingCopy_; }
  const DeviceList& devices() const { return devices_; }

 private:
  CliOptions options_;
  TerminalPrompt prompt_;
  DeviceList devices_;
  std::unique_ptr<RegistryStore> registry_;
  std::unique_ptr<WorkingCopy> workingCopy_;
};

// Reports a usage or failure text on stderr.
void PrintError(const std::string& text);

}  // namespace korvex
