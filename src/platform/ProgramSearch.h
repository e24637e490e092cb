#pragma once
// Finds a program by name the way the system's search-path lookup does, with the program's own
// folders first: a name with a slash is taken as it stands; a bare name is looked for in the
// directory of the running program, then in its helper folder ../libexec/korvex (where an
// installation keeps the sector helper), then in the directories of $PATH. The current
// directory is never searched, so a file dropped into it cannot stand in for the program.
#include <filesystem>
#include <optional>
#include <string>

namespace korvex {

// The full path of an executable regular file of that name; nothing when there is none.
std::optional<std::string> FindProgram(const std::string& name);

// The folder that holds the running program's executable; empty when it cannot be learned.
std::filesystem::path RunningProgramFolder();

// The helper folder of an installation whose programs lie in programFolder (its bin).
inline std::filesystem::path HelperFolder(const std::filesystem::path& programFolder) {
  return (programFolder / ".." / "libexec" / "korvex").lexically_normal();
}

}  // namespace korvex
