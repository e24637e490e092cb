#include "disk/ScsiDiskName.h"

namespace korvex {
namespace {

// Cuts the identifier at its last blank and drops the blanks before it; a name without any
// blank stays whole.
std::string WithoutRevision(std::string name) {
  const size_t lastBlank = name.rfind(' ');
  if (lastBlank == std::string::npos) return name;
  name.erase(lastBlank);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

std::string Join(const std::string& key, const std::string& sub) { return key + "\\" + sub; }

}  // namespace

std::optional<std::string> ScsiDiskName(const RegistryStore& registry, unsigned n) {
  const RegRoot root = RegRoot::LocalMachine;
  if (!registry.KeyExists(root, kScsiDeviceMapKey)) return std::nullopt;
  unsigned remaining = n;
  for (const auto& port : registry.EnumKeys(root, kScsiDeviceMapKey)) {
    const std::string portKey = Join(kScsiDeviceMapKey, port);
    for (const auto& bus : registry.EnumKeys(root, portKey)) {
      const std::string busKey = Join(portKey, bus);
      for (const auto& target : registry.EnumKeys(root, busKey)) {
        if (target.find("Target") == std::string::npos) continue;
        const std::string targetKey = Join(busKey, target);
        for (const auto& unit : registry.EnumKeys(root, targetKey)) {
          const std::string unitKey = Join(targetKey, unit);
          const auto type = registry.ReadString(root, unitKey, "Type");
          if (!type || type->substr(0, 127) != "DiskPeripheral") continue;
          if (remaining > 0) {
            --remaining;
            continue;
          }
          std::string identifier = registry.ReadString(root, unitKey, "Identifier").value_or("").substr(0, 127);
          if (identifier.find("COMPAQ") != std::string::npos) {
            identifier = "SEAGATE" + (identifier.size() > 6 ? identifier.substr(6) : std::string());
          }
          return WithoutRevision(identifier);
        }
      }
    }
  }
  return std::nullopt;
}

}  // namespace korvex
