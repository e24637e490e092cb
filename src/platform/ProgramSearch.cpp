#include "platform/ProgramSearch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

namespace korvex {
namespace {

bool IsExecutableFile(const std::filesystem::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::vector<std::filesystem::path> SearchDirectories() {
  std::vector<std::filesystem::path> directories;
  if (const auto self = RunningProgramFolder(); !self.empty()) {
    directories.push_back(self);
    directories.push_back(HelperFolder(self));
  }
  if (const char* path = std::getenv("PATH"); path != nullptr) {
    std::stringstream stream(path);
    for (std::string directory; std::getline(stream, directory, ':');) {
      // An empty entry would mean the current directory, which is not searched.
      if (!directory.empty() && std::filesystem::path(directory).is_absolute()) directories.emplace_back(directory);
    }
  }
  return directories;
}

}  // namespace

std::filesystem::path RunningProgramFolder() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : self.parent_path();
}

std::optional<std::string> FindProgram(const std::string& name) {
  if (name.empty()) return std::nullopt;
  if (name.find('/') != std::string::npos) {
    if (!IsExecutableFile(name)) return std::nullopt;
    return std::filesystem::absolute(name).string();
  }
  for (const auto& directory : SearchDirectories()) {
    const auto candidate = directory / name;
    if (IsExecutableFile(candidate)) return candidate.string();
  }
  return std::nullopt;
}

}  // namespace korvex
