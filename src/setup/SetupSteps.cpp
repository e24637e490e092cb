#include "setup/SetupSteps.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "parttypes/PartTypeCatalogue.h"
#include "platform/StringFormat.h"
#include "setup/DesktopEntry.h"
#include "setup/Distribution.h"
#include "setup/FileCopy.h"
#include "setup/SetupSettings.h"
#include "setup/SetupTexts.h"

namespace korvex::setup {
namespace {

bool CopyProgramFiles(const SetupContext& context, const std::filesystem::path& installFolder) {
  context.log(text::kLogMakeFolders);
  // A folder that exists is left alone; one that cannot be made fails the first copy below.
  std::error_code ec;
  std::filesystem::create_directories(installFolder, ec);
  for (const char* name : kDistributionFiles) {
    const auto source = context.distribution / name;
    const auto target = installFolder / name;
    context.log(text::kLogCopy + source.string() + text::kLogCopyTo + target.string());
    if (!CopyFileReplacing(source, target)) {
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
void DeleteLogged(const SetupContext& context, const std::filesystem::path& file) {
  context.log(text::kLogDelete + file.string());
  if (::remove(file.c_str()) == 0 || errno == ENOENT) return;
  context.log("\r\n" + StrFormat(text::kCannotDelete, file.c_str()));
}

}  // namespace

InstallOutcome Install(const SetupContext& context, const std::filesystem::path& installFolder) {
  if (!CopyProgramFiles(context, installFolder)) return InstallOutcome::CopyFailed;
  if (!WriteRegistry(context, installFolder)) return InstallOutcome::RegistryFailed;
  MakeMenuEntry(context, installFolder);
  context.log(text::kLogInstalled);
  return InstallOutcome::Installed;
}

void Uninstall(const SetupContext& context, const std::filesystem::path& installFolder) {
  for (const char* name : kDistributionFiles) DeleteLogged(context, installFolder / name);
  context.log("\r\n");
  std::error_code ec;
  if (std::filesystem::remove(installFolder, ec) || (!ec && !std::filesystem::exists(installFolder, ec))) {
    context.log(text::kLogFolderDeleted);
  } else {
    context.log(StrFormat(text::kLogFolderKept, installFolder.c_str()));
  }
  DeleteLogged(context, context.applications / kMenuEntryFile);
  context.log(DeleteSetupKeys(context.store) ? text::kLogKeysDeleted : text::kLogKeysKept);
  context.log(text::kLogUninstalled);
}

}  // namespace korvex::setup
