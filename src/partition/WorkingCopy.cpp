#include "partition/WorkingCopy.h"

#include "disk/ScsiDiskName.h"
#include "platform/FileDevice.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {

std::string DeviceKey(unsigned deviceNumber) { return StrFormat("PHYSICALDRIVE%u", deviceNumber); }

void WorkingCopy::LoadAll() {
  Clear();
  unusableImages_.clear();
  for (unsigned n = 0; n <= UINT8_MAX; ++n) {
    const DeviceEntry* entry = env_.devices.At(n);
    if (entry == nullptr) break;
    if (!LoadDisk(static_cast<std::uint8_t>(n)) && !entry->isImage) break;
  }
}

bool WorkingCopy::LoadDisk(std::uint8_t deviceNumber) {
  const DeviceEntry* entry = env_.devices.At(deviceNumber);
  if (entry == nullptr) return false;
  auto transport = OpenFileDevice(*entry);
  if (entry->isImage && !transport->IsOpen()) {
    std::string text = StrFormat(text::kImageNotUsable, entry->path.c_str(), transport->OpenError().c_str());
    if (entry->path.find('@') != std::string::npos) text += text::kGeometryHint;
    env_.prompt.Message(text, PromptIcon::Stop);
    unusableImages_.push_back(entry->path);
    return false;
  }
  auto disk = std::make_unique<CHardDisk>(deviceNumber, std::move(transport), env_.os, env_.prompt);
  if (!disk->IsUsable()) {
    if (deviceNumber == 0) env_.prompt.Message(LoadResString(IDS_NO_RIGHTS), PromptIcon::Information);
    return false;
  }
  const auto name = ScsiDiskName(env_.registry, deviceNumber);
  if (!name) return false;
  disk->label = *name;
  disks_[DeviceKey(deviceNumber)] = std::move(disk);
  return true;
}

CHardDisk* WorkingCopy::Find(unsigned deviceNumber) const {
  const auto it = disks_.find(DeviceKey(deviceNumber));
  return it == disks_.end() ? nullptr : it->second.get();
}

bool WorkingCopy::MarkModified(unsigned deviceNumber) {
  CHardDisk* disk = Find(deviceNumber);
  if (disk == nullptr) return false;
  disk->modified = true;
  return true;
}

bool WorkingCopy::AnyModified() const {
  for (const auto& [key, disk] : disks_) {
    if (disk->modified) return true;
  }
  return false;
}

}  // namespace korvex
