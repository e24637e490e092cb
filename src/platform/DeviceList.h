#pragma once
// The list of devices the program works on: PHYSICALDRIVEn is its n-th entry. Either image
// files (named on the command line or in KORVEX_DISKS, colon-separated), each with an optional
// geometry "path@HEADSxSECTORS", or the machine's whole-disk block devices from /sys/block.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvex {

struct DeviceEntry {
  std::string path;          // image file or /dev node
  std::string spec;          // as given, geometry suffix included
  bool isImage = true;       // false for block devices found in /sys/block
  std::uint32_t heads = 0;   // 0 = not given
  std::uint32_t sectors = 0; // 0 = not given
};

// Parses "path" or "path@HEADSxSECTORS"; heads 1..255, sectors 1..63. On a malformed geometry
// returns nothing and sets error.
std::optional<DeviceEntry> ParseDeviceSpec(const std::string& spec, std::string& error);

class DeviceList {
 public:
  DeviceList() = default;
  explicit DeviceList(std::vector<DeviceEntry> entries) : entries_(std::move(entries)) {}

  // Image specs given on the command line; nothing on the first malformed one.
  static std::optional<DeviceList> FromSpecs(const std::vector<std::string>& specs, std::string& error);
  // KORVEX_DISKS if set, else the whole-disk block devices of /sys/block (sysfsRoot for tests).
  static std::optional<DeviceList> FromEnvironment(std::string& error, const std::string& sysfsRoot = "/sys/block");
  // The colon-separated form of KORVEX_DISKS, which the program passes on to helper programs.
  std::string ToEnvironmentValue() const;

  std::size_t size() const { return entries_.size(); }
  const DeviceEntry* At(std::size_t n) const { return n < entries_.size() ? &entries_[n] : nullptr; }
  const std::vector<DeviceEntry>& entries() const { return entries_; }

 private:
  std::vector<DeviceEntry> entries_;
};

// Whole-disk block devices under sysfsRoot in natural name order, without loop, ram, zram,
// device-mapper, md, optical and floppy devices.
std::vector<std::string> ListWholeDisks(const std::string& sysfsRoot);

}  // namespace korvex
