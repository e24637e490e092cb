#include "setup/SetupFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/RegFileFormat.h"

namespace korvex::setup {
namespace {

// An environment variable that holds an absolute path; nothing when unset, empty or relative.
std::optional<std::filesystem::path> AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  return std::filesystem::path(value);
}

}  // namespace

std::filesystem::path HomeFolder() {
  if (auto home = AbsoluteVariable("HOME")) return *home;
  const passwd* user = ::getpwuid(::getuid());
  return (user != nullptr && user->pw_dir != nullptr) ? user->pw_dir : "/";
}

std::filesystem::path DefaultInstallFolder() { return HomeFolder() / ".local" / "opt" / "korvex"; }

std::filesystem::path ApplicationsFolder() {
  const auto data = AbsoluteVariable("XDG_DATA_HOME").value_or(HomeFolder() / ".local" / "share");
  return data / "applications";
}

std::optional<std::filesystem::path> ParseInstallFolder(const std::string& entry) {
  if (!IsStorableText(entry)) return std::nullopt;
  std::filesystem::path folder;
  if (entry == "~" || entry.starts_with("~/")) {
    folder = HomeFolder() / entry.substr(entry.size() > 2 ? 2 : entry.size());
  } else if (entry.starts_with("/")) {
    folder = entry;
  } else {
    return std::nullopt;
  }
  folder = folder.lexically_normal();
  if (!folder.has_filename() && folder != folder.root_path()) folder = folder.parent_path();
  return folder;
}

}  // namespace korvex::setup
