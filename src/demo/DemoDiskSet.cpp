#include "demo/DemoDiskSet.h"

#include <cstdlib>

#include "demo/ImageBuilder.h"

namespace korvex {
namespace {

constexpr std::uint32_t kHeads = 64;
constexpr std::uint32_t kSectors = 63;
constexpr std::uint32_t kCylinder = kHeads * kSectors;  // 4032 sectors
constexpr std::uint32_t kFirstDiskCylinders = 1000;     // about 1.9 GiB, sparse
constexpr std::uint32_t kSecondDiskCylinders = 540;     // about 1 GiB, sparse
constexpr std::uint32_t kMiB = 2048;                    // sectors

const char* const kFirstDiskName = "korvex-demo-1.img";
const char* const kSecondDiskName = "korvex-demo-2.img";

// A conventional, cylinder-aligned disk: two primaries, an extended partition with three
// logical drives one track after their records.
bool BuildFirstDisk(ImageBuilder& disk) {
  const std::uint32_t winStart = kSectors;
  const std::uint32_t winLength = 200 * kCylinder - kSectors;
  const std::uint32_t dataStart = 200 * kCylinder;
  const std::uint32_t dataLength = 250 * kCylinder;
  const std::uint32_t extStart = 450 * kCylinder;
  const std::uint32_t extLength = 500 * kCylinder;
  std::vector<LogicalSpec> drives;
  std::uint32_t ebr = extStart;
  for (std::uint32_t cylinders : {150u, 100u, 200u}) {
    drives.push_back(LogicalSpec{ebr, ebr + kSectors, cylinders * kCylinder - kSectors, 0x83});
    ebr += cylinders * kCylinder;
  }
  drives[1].type = 0x82;
  return disk.AddPrimary(0, 0x07, winStart, winLength, true) && disk.AddPrimary(1, 0x0C, dataStart, dataLength) &&
         disk.AddExtended(2, 0x0F, extStart, extLength, drives) && disk.AddBootSector(winStart, "KORVEX1") &&
         disk.AddBootSector(dataStart, "KORVEX2");
}

// Gaps everywhere: free space before the first partition, between partitions, before the
// first logical drive, between logical drives and at the end.
bool BuildSecondDisk(ImageBuilder& disk) {
  const std::uint32_t fatStart = 20 * kCylinder;
  const std::uint32_t fatLength = 60 * kCylinder;
  const std::uint32_t extStart = 120 * kCylinder;
  const std::uint32_t extLength = 300 * kCylinder;
  const std::uint32_t linuxStart = 460 * kCylinder;
  const std::uint32_t linuxLength = 40 * kCylinder;
  const std::vector<LogicalSpec> drives = {
      {extStart + 10 * kCylinder, extStart + 10 * kCylinder + kSectors, 50 * kCylinder - kSectors, 0x06},
      {extStart + 100 * kCylinder, extStart + 100 * kCylinder + kMiB, 80 * kCylinder, 0x83},
  };
  return disk.AddPrimary(0, 0x06, fatStart, fatLength) && disk.AddPrimary(3, 0x83, linuxStart, linuxLength, true) &&
         disk.AddExtended(1, 0x05, extStart, extLength, drives);
}

}  // namespace

std::filesystem::path DefaultDemoDirectory() {
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache != '\0') {
    return std::filesystem::path(cache) / "korvex" / "demo";
  }
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr ? home : ".") / ".cache" / "korvex" / "demo";
}

std::optional<std::vector<std::string>> CreateDemoDiskSet(const std::filesystem::path& directory, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(directory, ec);
  if (ec) {
    error = "Kann Verzeichnis nicht anlegen: " + directory.string() + ": " + ec.message();
    return std::nullopt;
  }
  auto first = ImageBuilder::Create((directory / kFirstDiskName).string(), kFirstDiskCylinders, kHeads, kSectors, error);
  if (!first) return std::nullopt;
  auto second = ImageBuilder::Create((directory / kSecondDiskName).string(), kSecondDiskCylinders, kHeads, kSectors, error);
  if (!second) return std::nullopt;
  if (!BuildFirstDisk(*first) || !BuildSecondDisk(*second)) {
    error = "Kann die Demo-Festplatten nicht beschreiben: " + directory.string();
    return std::nullopt;
  }
  return std::vector<std::string>{first->Spec(), second->Spec()};
}

std::optional<std::vector<std::string>> EnsureDemoDiskSet(const std::filesystem::path& directory, std::string& error) {
  const auto first = directory / kFirstDiskName;
  const auto second = directory / kSecondDiskName;
  if (std::filesystem::exists(first) && std::filesystem::exists(second)) {
    const std::string geometry = "@" + std::to_string(kHeads) + "x" + std::to_string(kSectors);
    return std::vector<std::string>{first.string() + geometry, second.string() + geometry};
  }
  return CreateDemoDiskSet(directory, error);
}

}  // namespace korvex
