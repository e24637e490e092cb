#pragma once
// The working copy of every disk of the machine, keyed by device name ("PHYSICALDRIVE%d").
// Disks are loaded for device numbers 0, 1, 2, … until the first one that cannot be loaded.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "partition/CHardDisk.h"
#include "partition/ChangeEvents.h"
#include "partition/EditHistory.h"
#include "platform/DeviceList.h"
#include "platform/OsIdentity.h"
#include "platform/Prompt.h"
#include "platform/Registry.h"

namespace korvex {

// What loading a disk needs from the platform, and the boot engine's check of sector 0.
struct DiskEnvironment {
  const DeviceList& devices;
  OsVersion os;
  const RegistryStore& registry;
  CPrompt& prompt;
  LoaderCheck holdsEngineLoader;
};

std::string DeviceKey(unsigned deviceNumber);

class WorkingCopy {
 public:
  explicit WorkingCopy(DiskEnvironment environment)
      : env_(environment), notifier_(std::make_unique<ChangeNotifier>()), history_(std::make_unique<EditHistory>()) {}

  // Clears the map and loads disks 0, 1, 2, … until the first machine disk that cannot be
  // loaded; then AllReloaded. An image file that cannot be used is reported with its reason and
  // skipped: the images after it keep their device numbers.
  void LoadAll();
  // Drops the disk's unsaved edits and reads it anew; a disk that cannot be read again leaves
  // the map. Then DiskReloaded. False when it could not be read.
  bool ReloadDisk(std::uint8_t deviceNumber);
  // The image files named for this run that could not be used at the last load.
  // Puts an opened disk into the copy under its device number, in place of one loaded there
  // before, and reports its changes to the observers.
  void Add(std::unique_ptr<CHardDisk> disk);
  const std::vector<std::string>& UnusableImages() const { return unusableImages_; }
  void Clear() {
    disks_.clear();
    history_->Clear();
  }

  // Observers hear of every change of a disk and every reload (ChangeEvents.h).
  void Subscribe(IChangeObserver& observer) { notifier_->Subscribe(observer); }
  void Unsubscribe(IChangeObserver& observer) { notifier_->Unsubscribe(observer); }

  CHardDisk* Find(unsigned deviceNumber) const;
  // Sets the modified flag of the disk; false when there is no such disk.
  bool MarkModified(unsigned deviceNumber);
  bool AnyModified() const;

  // Undo and redo of the edits since each disk was read or saved, one step at a time; an
  // EditStep makes a user action one step (EditHistory.h).
  EditHistory& history() { return *history_; }
  const EditHistory& history() const { return *history_; }
  bool Undo() { return history_->Undo(*this); }
  bool Redo() { return history_->Redo(*this); }

  const std::map<std::string, std::unique_ptr<CHardDisk>>& disks() const { return disks_; }
  DiskEnvironment& environment() { return env_; }

 private:
  // Loads one disk into the map (replacing it); false when it cannot be loaded. An image file
  // that cannot be used is reported with its path and reason; device 0 that cannot be opened is
  // reported as missing rights.
  bool LoadDisk(std::uint8_t deviceNumber);

  DiskEnvironment env_;
  std::unique_ptr<ChangeNotifier> notifier_;
  // Disks keep a pointer to it, like to the notifier.
  std::unique_ptr<EditHistory> history_;
  // The files of every disk opened so far (shared with the disks): files the program writes
  // must never replace one of them.
  std::shared_ptr<std::vector<FileIdentity>> diskFiles_ = std::make_shared<std::vector<FileIdentity>>();
  std::map<std::string, std::unique_ptr<CHardDisk>> disks_;
  std::vector<std::string> unusableImages_;
};

}  // namespace korvex
