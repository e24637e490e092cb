#include "cli/CliSession.h"

#include <cstdio>

#include "demo/DemoDiskSet.h"
#include "platform/OsIdentity.h"

namespace korvex {
void PrintError(const std::string& text) { std::fprintf(stderr, "korvex-cli: %s\n", text.c_str()); }

bool CliSession::OpenPlatform() {
  std::string error;
  std::vector<std::string> specs = options_.diskSpecs;
  if (options_.demo) {
    auto demo = EnsureDemoDiskSet(DefaultDemoDirectory(), error);
    if (!demo) {
      PrintError(error);
      return false;
    }
    specs.insert(specs.end(), demo->begin(), demo->end());
  }
  auto devices = specs.empty() ? DeviceList::FromEnvironment(error) : DeviceList::FromSpecs(specs, error);
  if (!devices) {
    PrintError(error);
    return false;
  }
  devices_ = std::move(*devices);
  registry_ = OpenRegistryStore(DefaultUserHivePath(), devices_, HostComputerName(), error);
  if (!registry_) {
    PrintError(error);
    return false;
  }
  return true;
}

void CliSession::LoadDisks() {
  workingCopy_ = std::make_unique<WorkingCopy>(DiskEnvironment{devices_, QueryOsVersion(), *registry_, prompt_});
  workingCopy_->LoadAll();
}

}  // namespace korvex
