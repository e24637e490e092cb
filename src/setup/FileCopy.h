#pragma once
// Copies one program file into place.
#include <filesystem>

namespace korvex::setup {

// Copies source to target with source's permission bits, through a temporary file beside
// target that is renamed over it: a running program of that name keeps its old file, and a
// failed copy leaves target as it was and no temporary file. False when any step failed.
bool CopyFileReplacing(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace korvex::setup
