#include "partition/WorkingCopy.h"

#include <algorithm>

#include "disk/DiskAccess.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {

std::string DeviceKey(unsigned deviceNumber) { return StrFormat("PHYSICALDRIVE%u", deviceNumber); }

void WorkingCopy::LoadAll() {
  Clear();
  unusableImages_.clear();
  for (unsigned n = 0; n <= UINT8_MAX; ++n) {
    // An image that cannot be used is skipped; the first other device that fails ends the list.
    const std::size_t skipped = unusableImages_.size();
    if (!LoadDisk(static_cast<std::uint8_t>(n)) && unusableImages_.size() == skipped) break;
  }
  notifier_->Notify(ChangeEvent::AllReloaded, 0);
}

bool WorkingCopy::ReloadDisk(std::uint8_t deviceNumber) {
  disks_.erase(DeviceKey(deviceNumber));
  history_->Forget(deviceNumber);
  const bool loaded = LoadDisk(deviceNumber);
  notifier_->Notify(ChangeEvent::DiskReloaded, deviceNumber);
  return loaded;
}

bool WorkingCopy::LoadDisk(std::uint8_t deviceNumber) {
  auto transport = OpenDiskTransport(env_.devices, deviceNumber, env_.os, env_.registry, env_.prompt);
  if (!transport) return false;
  const DeviceEntry* entry = env_.os.platformId == kPlatformDirect ? env_.devices.At(deviceNumber) : nullptr;
  if (entry != nullptr && entry->isImage && !transport->IsOpen()) {
    std::string text = StrFormat(text::kDiskImageNotUsable, entry->path.c_str(), transport->OpenError().c_str());
    if (entry->path.find('@') != std::string::npos) text += text::kGeometryHint;
    env_.prompt.Message(text, PromptIcon::Stop);
    unusableImages_.push_back(entry->path);
    return false;
  }
  auto disk = std::make_unique<CHardDisk>(deviceNumber, std::move(transport), env_.os, env_.holdsEngineLoader,
                                          env_.prompt);
  if (!disk->IsUsable()) {
    if (deviceNumber == 0) env_.prompt.Message(LoadResString(IDS_NO_RIGHTS), PromptIcon::Information);
    return false;
  }
  const auto name = DiskLabel(env_.registry, deviceNumber, env_.os);
  if (!name) return false;
  disk->label = *name;
  Add(std::move(disk));
  return true;
}

void WorkingCopy::Add(std::unique_ptr<CHardDisk> disk) {
  disk->ReportChangesTo(notifier_.get());
  disk->RecordEditsIn(history_.get());
  history_->SetBaseline(*disk);
  if (const auto file = disk->Transport() != nullptr ? disk->Transport()->Identity() : std::nullopt) {
    if (std::find(diskFiles_->begin(), diskFiles_->end(), *file) == diskFiles_->end()) diskFiles_->push_back(*file);
  }
  disk->ShareDiskFiles(diskFiles_);
  const std::string key = DeviceKey(disk->DeviceNumber());
  disks_[key] = std::move(disk);
}

CHardDisk* WorkingCopy::Find(unsigned deviceNumber) const {
  const auto it = disks_.find(DeviceKey(deviceNumber));
  return it == disks_.end() ? nullptr : it->second.get();
}

bool WorkingCopy::MarkModified(unsigned deviceNumber) {
  CHardDisk* disk = Find(deviceNumber);
  if (disk == nullptr) return false;
  disk->MarkModified();
  return true;
}

bool WorkingCopy::AnyModified() const {
  for (const auto& [key, disk] : disks_) {
    if (disk->IsModified()) return true;
  }
  return false;
}

}  // namespace korvex
