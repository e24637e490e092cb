#include "shell/ProgramStart.h"

#include <clocale>

#include "bootengine/LoaderRecognition.h"
#include "demo/DemoDiskSet.h"
#include "platform/ProgramSearch.h"
#include "platform/StringTable.h"
#include "shell/ShippedCatalogue.h"

namespace korvex {

ProgramContext::ProgramContext(DeviceList devices, std::unique_ptr<RegistryStore> registry, OsVersion os,
                               std::string computerName, CPrompt& prompt)
    : devices_(std::move(devices)),
      registry_(std::move(registry)),
      os_(os),
      computerName_(std::move(computerName)),
      prompt_(prompt),
      workingCopy_(DiskEnvironment{devices_, os_, *registry_, prompt_, HoldsOurLoader}) {}

StartResult StartProgram(const StartOptions& options, CPrompt& prompt) {
  std::setlocale(LC_ALL, "");
  const OsVersion os = QueryOsVersion();
  std::string error;
  std::vector<std::string> specs = options.diskSpecs;
  if (options.demo) {
    const auto demo = EnsureDemoDiskSet(DefaultDemoDirectory(), error);
    if (!demo) return {nullptr, error};
    specs.insert(specs.end(), demo->begin(), demo->end());
  }
  auto devices = specs.empty() ? DeviceList::FromEnvironment(error) : DeviceList::FromSpecs(specs, error);
  if (!devices) return {nullptr, error};
  std::string computerName = HostComputerName();
  auto registry = OpenRegistryStore(DefaultUserHivePath(), *devices, computerName, error);
  if (!registry) return {nullptr, error};
  const auto programFolder = options.programFolder.empty() ? RunningProgramFolder() : options.programFolder;
  if (!EnsureShippedCatalogue(*registry, programFolder, error) && options.requireCatalogue) {
    return {nullptr, LoadResString(IDS_NO_PARTITION_TYPES) + "\n\n" + error};
  }
  return {std::make_unique<ProgramContext>(std::move(*devices), std::move(registry), os, std::move(computerName), prompt),
          ""};
}

}  // namespace korvex
