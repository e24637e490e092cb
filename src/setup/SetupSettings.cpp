#include "setup/SetupSettings.h"

#include "platform/ProgramSettings.h"
#include "setup/Distribution.h"

namespace korvex::setup {

bool RecordSetupStart(RegistryStore& store, const std::filesystem::path& distributionFolder) {
  return RegWriteString(store, RegRoot::CurrentUser, kSetupSettingsKey, kHelperProgramValue,
                        (distributionFolder / kHelperFile).string()) == 1;
}

bool WriteInstallSettings(RegistryStore& store, const std::filesystem::path& installFolder) {
  return RegWriteString(store, RegRoot::CurrentUser, kSettingsKey, kHelperProgramValue,
                        (installFolder / kHelperFile).string()) == 1 &&
         RegWriteString(store, RegRoot::CurrentUser, kSettingsKey, kFolderValue, installFolder.string()) == 1 &&
         RegWriteString(store, RegRoot::CurrentUser, kSettingsKey, kVersionValue, kInstalledVersion) == 1;
}

std::optional<std::filesystem::path> InstalledFolder(const RegistryStore& store) {
  const std::string folder = RegReadString(store, RegRoot::CurrentUser, kSettingsKey, kFolderValue, ".");
  if (folder == "." || !folder.starts_with("/")) return std::nullopt;
  return std::filesystem::path(folder);
}

bool DeleteSetupKeys(RegistryStore& store) {
  bool deleted = true;
  for (const char* key : {kProgramKey, kSetupKey}) {
    if (store.KeyExists(RegRoot::CurrentUser, key) && !store.DeleteKey(RegRoot::CurrentUser, key)) deleted = false;
  }
  return deleted;
}

}  // namespace korvex::setup
