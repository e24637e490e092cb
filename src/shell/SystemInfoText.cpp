#include "shell/SystemInfoText.h"

#include <algorithm>
#include <vector>

#include "disk/ScsiDiskName.h"
#include "platform/StringFormat.h"

namespace korvex {

std::string SystemInfoText(const WorkingCopy& workingCopy, const RegistryStore& registry) {
  std::vector<unsigned> devices;
  for (const auto& [key, disk] : workingCopy.disks()) devices.push_back(disk->DeviceNumber());
  std::sort(devices.begin(), devices.end());
  std::string text;
  int k = 0;
  for (const unsigned device : devices) {
    const std::string name = ScsiDiskName(registry, device).value_or("unbekannt");
    text += StrFormat("%d.Festplatte\r\n\tName : %s\r\n", ++k, name.c_str());
  }
  return text;
}

}  // namespace korvex
