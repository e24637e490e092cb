#pragma once
// Start-up shared by both front ends: the platform opened in the program's order, then the
// working copy. The window program and korvex-cli differ only in what they show of a failure.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "partition/WorkingCopy.h"
#include "platform/DeviceList.h"
#include "platform/OsIdentity.h"
#include "platform/Prompt.h"
#include "platform/RegistryStore.h"

namespace korvex {

struct StartOptions {
  std::vector<std::string> diskSpecs;  // image files, "path[@HEADSxSECTORS]"; empty: environment
  bool demo = false;                   // add the demo disk set (made on first use)
  bool requireCatalogue = true;        // refuse to start without a partition type catalogue
  // Where the shipped catalogue is looked for (ShippedCatalogue.h); empty: the running program's
  // folder.
  std::filesystem::path programFolder;
};

// What a running front end works with. The device list and the store outlive the working copy
// that refers to them.
class ProgramContext {
 public:
  ProgramContext(DeviceList devices, std::unique_ptr<RegistryStore> registry, OsVersion os, std::string computerName,
                 CPrompt& prompt);
  ProgramContext(const ProgramContext&) = delete;
  ProgramContext& operator=(const ProgramContext&) = delete;

  const DeviceList& devices() const { return devices_; }
  RegistryStore& registry() { return *registry_; }
  const OsVersion& os() const { return os_; }
  const std::string& computerName() const { return computerName_; }
  CPrompt& prompt() { return prompt_; }
  WorkingCopy& workingCopy() { return workingCopy_; }

 private:
  DeviceList devices_;
  std::unique_ptr<RegistryStore> registry_;
  OsVersion os_;
  std::string computerName_;
  CPrompt& prompt_;
  WorkingCopy workingCopy_;
};

struct StartResult {
  std::unique_ptr<ProgramContext> context;  // nothing when the program cannot start
  std::string error;                        // why, for the front end to show (stop icon)
};

// Sets the C locale to the user's (size texts follow its decimal separator), reads the OS
// identity, makes the demo set when asked, builds the device list, opens the registry store with
// the host name as computer name, and imports the shipped partition type catalogue into a store
// that has none. Where the catalogue is required and still missing, the program does not start
// (33447, then why and how to import one). The working copy starts empty: LoadAll reads it.
StartResult StartProgram(const StartOptions& options, CPrompt& prompt);

}  // namespace korvex
