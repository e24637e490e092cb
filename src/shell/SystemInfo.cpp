#include "shell/SystemInfo.h"

#include <algorithm>
#include <vector>

#include "disk/ScsiDiskName.h"
#include "platform/StringFormat.h"

namespace korvex {

unsigned ShownDiskNumber(const CHardDisk& disk) { return disk.DeviceNumber() + 1u; }

std::string SystemInfoText(const WorkingCopy& workingCopy, const RegistryStore& registry) {
  std::vector<const CHardDisk*> disks;
  for (const auto& [key, disk] : workingCopy.disks()) disks.push_back(disk.get());
  std::sort(disks.begin(), disks.end(), [](auto* a, auto* b) { return a->DeviceNumber() < b->DeviceNumber(); });
  std::string text;
  for (const CHardDisk* disk : disks) {
    const std::string name = ScsiDiskName(registry, disk->DeviceNumber()).value_or("unbekannt");
    text += StrFormat("%u.Festplatte\r\n\tName : %s\r\n", ShownDiskNumber(*disk), name.c_str());
  }
  return text;
}

}  // namespace korvex
