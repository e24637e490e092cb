#pragma once
// The list of the files an installation wrote, kept beside them in the installation folder:
// uninstalling deletes only what it names, and only while each file is still the one the
// installation wrote (same size and CRC-32), so that a setting "Pfad" that names some other
// folder (it can come from any imported .reg file) never costs a file of the user's.
//
// The file is text, one line per installed file after a first line of its own:
//   Korvex-Installation
//   korvex95 1609104 3f2a91c0        name, size in bytes, CRC-32 in hexadecimal
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvex::setup {

inline constexpr const char* kManifestFile = "korvex-setup.liste";

struct InstalledFile {
  std::string name;  // one of kDistributionFiles
  std::uint64_t size = 0;
  std::uint32_t crc = 0;

  bool operator==(const InstalledFile&) const = default;
};

// What file in folder is now: nothing when it is no regular file or cannot be read.
std::optional<InstalledFile> DescribeFile(const std::filesystem::path& folder, const std::string& name);

// Writes the list of files into folder, through a temporary file renamed over the old list.
bool WriteManifest(const std::filesystem::path& folder, const std::vector<InstalledFile>& files);

// The list in folder; nothing when there is none (also when the folder is no folder) or it is
// damaged. Lines naming anything but a distribution file make the list damaged.
std::optional<std::vector<InstalledFile>> ReadManifest(const std::filesystem::path& folder);

}  // namespace korvex::setup
