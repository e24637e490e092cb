#pragma once
// Finds a program by name the way the system's search-path lookup does: a name with a slash is
// taken as it stands; a bare name is looked for in the directory of the running program first,
// then in the directories of $PATH. The current directory is never searched, so a file dropped
// into it cannot stand in for the program.
#include <optional>
#include <string>

namespace korvex {

// The full path of an executable regular file of that name; nothing when there is none.
std::optional<std::string> FindProgram(const std::string& name);

}  // namespace korvex
