#include "setup/SetupSteps.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

#include "parttypes/PartTypeCatalogue.h"
#include "platform/StringFormat.h"
#include "setup/DesktopEntry.h"
#include "setup/Distribution.h"
#include "setup/FileCopy.h"
#include "setup/InstallManifest.h"
#include "setup/SetupSettings.h"
#include "setup/SetupTexts.h"

namespace korvex::setup {
namespace {

bool CopyProgramFiles(const SetupContext& context, const std::filesystem::path& installFolder) {
  context.log(text::kLogMakeFolders);
  // A folder that exists is left alone; one that cannot be made fails the first copy below.
  std::error_code ec;
  std::filesystem::create_directories(installFolder, ec);
  // The list of installed files grows with every copy, so that an installation stopped half way
  // can be removed too: the uninstall deletes what the list names, nothing else.
  std::vector<InstalledFile> installed;
  for (const char* name : kDistributionFiles) {
    const auto source = context.distribution / name;
    const auto target = installFolder / name;
    context.log(text::kLogCopy + source.string() + text::kLogCopyTo + target.string());
    const bool copied = CopyFileReplacing(source, target);
    const auto file = copied ? DescribeFile(installFolder, name) : std::nullopt;
    if (file) installed.push_back(*file);
    if (!file || !WriteManifest(installFolder, installed)) {
      context.prompt.Message(StrFormat(text::kCopyFailed, source.c_str(), target.c_str()), PromptIcon::Stop);
      context.log(text::kLogCopyFailed);
      context.log(text::kLogCopyCauses);
      return false;
    }
  }
  return true;
}

bool WriteRegistry(const SetupContext& context, const std::filesystem::path& installFolder) {
  context.log(text::kLogSetRegistry);
  bool written = WriteInstallSettings(context.store, installFolder);
  std::string error;
  // A catalogue the user has (perhaps edited) is kept: importing over it would overwrite
  // renamed types and hide rows beyond the shipped count.
  if (written && HasPartTypeCatalogue(context.store)) {
    context.log(text::kLogCatalogueKept);
  } else if (written && !ImportRegFile(context.store, installFolder / kCatalogueFile, error)) {
    context.prompt.Message(text::kRegistryFailed, PromptIcon::Stop);
    written = false;
  }
  if (written) return true;
  context.log(text::kLogRegistryFailed);
  context.log(text::kLogRegistryCauses);
  if (!error.empty()) context.log("\r\n" + error);
  return false;
}

void MakeMenuEntry(const SetupContext& context, const std::filesystem::path& installFolder) {
  context.log(text::kLogMakeMenuEntry);
  if (WriteDesktopEntry(context.applications, installFolder)) return;
  const std::string failure = StrFormat(text::kLogMenuEntryFailed, (context.applications / kMenuEntryFile).c_str());
  context.log(failure);
  context.prompt.Message(failure.substr(2), PromptIcon::Exclamation);
}

// Deletes one file; one that is not there any more counts as deleted.
bool DeleteLogged(const SetupContext& context, const std::filesystem::path& file) {
  context.log(text::kLogDelete + file.string());
  if (::unlink(file.c_str()) == 0 || errno == ENOENT) return true;
  context.log("\r\n" + StrFormat(text::kCannotDelete, file.c_str()));
  return false;
}

// Deletes an installed file while it is still the one the installation wrote; one that is not
// there any more counts as deleted, one that changed since stays.
void DeleteInstalled(const SetupContext& context, const std::filesystem::path& folder, const InstalledFile& file) {
  const auto path = folder / file.name;
  std::error_code ec;
  const bool there = std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
  if (there && DescribeFile(folder, file.name) != file) {
    context.log(StrFormat(text::kLogChangedKept, path.c_str()));
    return;
  }
  DeleteLogged(context, path);
}

}  // namespace

InstallOutcome Install(const SetupContext& context, const std::filesystem::path& installFolder) {
  if (!CopyProgramFiles(context, installFolder)) return InstallOutcome::CopyFailed;
  if (!WriteRegistry(context, installFolder)) return InstallOutcome::RegistryFailed;
  MakeMenuEntry(context, installFolder);
  context.log(text::kLogInstalled);
  return InstallOutcome::Installed;
}

UninstallOutcome Uninstall(const SetupContext& context, const std::filesystem::path& installFolder) {
  const auto installed = ReadManifest(installFolder);
  if (!installed) {
    context.prompt.Message(StrFormat(text::kNoManifest, installFolder.c_str(), kManifestFile), PromptIcon::Stop);
    return UninstallOutcome::Refused;
  }
  for (const InstalledFile& file : *installed) DeleteInstalled(context, installFolder, file);
  // The folder goes only when the list went and nothing else lies in it (rmdir never removes a
  // folder with content, nor a symbolic link in place of a folder).
  const bool listDeleted = DeleteLogged(context, installFolder / kManifestFile);
  context.log("\r\n");
  if (listDeleted && ::rmdir(installFolder.c_str()) == 0) {
    context.log(text::kLogFolderDeleted);
  } else {
    context.log(StrFormat(text::kLogFolderKept, installFolder.c_str()));
  }
  DeleteLogged(context, context.applications / kMenuEntryFile);
  context.log(DeleteSetupKeys(context.store) ? text::kLogKeysDeleted : text::kLogKeysKept);
  context.log(text::kLogUninstalled);
  return UninstallOutcome::Uninstalled;
}

}  // namespace korvex::setup
