#pragma once
// The files of an installation and the folder they are installed from. The same list serves the
// completeness check at start, the copy and the deletion.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace korvex::setup {

// The programs (the window program, its command-line twin and the sector helper) and the
// partition type catalogue that the window program needs to start. Everything else they load
// at run time (wxWidgets, bzip2, zlib, the console fonts) comes with the system's packages.
inline constexpr std::array<const char*, 4> kDistributionFiles = {"korvex95", "korvex", "korvex-cli", "parts.reg"};
inline constexpr const char* kHelperFile = "korvex95";
inline constexpr const char* kProgramFile = "korvex";
inline constexpr const char* kCatalogueFile = "parts.reg";

// The names of the list that are not a regular file in folder, in list order.
std::vector<std::string> MissingDistributionFiles(const std::filesystem::path& folder);

// Message 1 for those names: joined by "," and followed by the download address.
std::string IncompleteMessage(const std::vector<std::string>& missing);

// The folder the installer copies from: named (from its command line) when not empty, else the
// folder that holds the installer program itself.
std::filesystem::path DistributionFolder(const std::string& named);

}  // namespace korvex::setup
