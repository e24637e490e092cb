#include "platform/DeviceList.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/NumberText.h"

namespace korvex {
namespace {

// Natural order: runs of digits compare by value, so sdb < sdb2 and nvme2n1 < nvme10n1.
bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const bool da = std::isdigit(static_cast<unsigned char>(a[i]));
    const bool db = std::isdigit(static_cast<unsigned char>(b[j]));
    if (da && db) {
      size_t ei = i, ej = j;
      while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
      while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
      const unsigned long long va = std::strtoull(a.substr(i, ei - i).c_str(), nullptr, 10);
      const unsigned long long vb = std::strtoull(b.substr(j, ej - j).c_str(), nullptr, 10);
      if (va != vb) return va < vb;
      i = ei;
      j = ej;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

bool IsExcludedDevice(const std::string& name) {
  static const char* const kPrefixes[] = {"loop", "ram", "zram", "dm-", "md", "sr", "fd", "nbd"};
  return std::any_of(std::begin(kPrefixes), std::end(kPrefixes),
                     [&](const char* prefix) { return name.rfind(prefix, 0) == 0; });
}

}  // namespace

std::optional<DeviceEntry> ParseDeviceSpec(const std::string& spec, std::string& error) {
  DeviceEntry entry;
  entry.spec = spec;
  entry.path = spec;
  const size_t at = spec.rfind('@');
  // A suffix of digits and "x" is a geometry; any other "@" belongs to the file name.
  const bool hasGeometry = at != std::string::npos && at + 1 < spec.size() &&
                           spec.find_first_not_of("0123456789x", at + 1) == std::string::npos;
  if (hasGeometry) {
    const std::string geometry = spec.substr(at + 1);
    const size_t x = geometry.find('x');
    const auto heads = x == std::string::npos ? std::nullopt : ParseNumber(geometry.substr(0, x), UINT32_MAX);
    const auto sectors = x == std::string::npos ? std::nullopt : ParseNumber(geometry.substr(x + 1), UINT32_MAX);
    if (!heads || !sectors) {
      error = "Ungültige Geometrie in \"" + spec + "\": erwartet wird DATEI@KÖPFExSEKTOREN, z.B. disk.img@16x63";
      return std::nullopt;
    }
    if (*heads < 1 || *heads > 255 || *sectors < 1 || *sectors > 63) {
      error = "Ungültige Geometrie in \"" + spec + "\": Köpfe 1..255, Sektoren pro Spur 1..63";
      return std::nullopt;
    }
    entry.path = spec.substr(0, at);
    entry.heads = static_cast<std::uint32_t>(*heads);
    entry.sectors = static_cast<std::uint32_t>(*sectors);
  }
  if (entry.path.empty()) {
    error = "Leerer Gerätename in \"" + spec + "\"";
    return std::nullopt;
  }
  return entry;
}

std::optional<DeviceList> DeviceList::FromSpecs(const std::vector<std::string>& specs, std::string& error) {
  std::vector<DeviceEntry> entries;
  for (const auto& spec : specs) {
    auto entry = ParseDeviceSpec(spec, error);
    if (!entry) return std::nullopt;
    entries.push_back(std::move(*entry));
  }
  return DeviceList(std::move(entries));
}

std::optional<DeviceList> DeviceList::FromEnvironment(std::string& error, const std::string& sysfsRoot) {
  if (const char* disks = std::getenv("KORVEX_DISKS"); disks != nullptr && *disks != '\0') {
    std::vector<std::string> specs;
    std::stringstream stream(disks);
    for (std::string item; std::getline(stream, item, ':');) {
      if (!item.empty()) specs.push_back(item);
    }
    return FromSpecs(specs, error);
  }
  std::vector<DeviceEntry> entries;
  for (const auto& name : ListWholeDisks(sysfsRoot)) {
    DeviceEntry entry;
    entry.path = "/dev/" + name;
    entry.spec = entry.path;
    entry.isImage = false;
    entries.push_back(std::move(entry));
  }
  return DeviceList(std::move(entries));
}

std::string DeviceList::ToEnvironmentValue() const {
  std::string value;
  for (const auto& entry : entries_) {
    if (!value.empty()) value += ':';
    value += entry.spec;
  }
  return value;
}

std::vector<std::string> ListWholeDisks(const std::string& sysfsRoot) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(sysfsRoot, ec)) {
    const std::string name = item.path().filename().string();
    if (!IsExcludedDevice(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  return names;
}

}  // namespace korvex
