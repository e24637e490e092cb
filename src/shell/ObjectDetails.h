#pragma once
// What tells partitions apart beyond the type and size of their tree label: the catalogue's name
// of the type, the partition's name (the kernel's "sda5" on a block device, the number sfdisk
// gives on an image file), and the file system that begins in its first sectors with its label.
// File systems are probed once per load of a disk and kept, never when a view is drawn.
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis/VolumeIdentity.h"
#include "partition/ObjectRef.h"
#include "platform/KernelPartitions.h"
#include "platform/Registry.h"

namespace korvex {

struct ObjectDetails {
  std::string typeName;            // the catalogue's name of the type; empty when it has none
  std::optional<unsigned> number;  // 1-4 for a partition-table entry, 5, 6, … for logical drives
  std::string partitionName;       // "sda5" or "Nr. 5"; empty without a number
  FileSystemKind fileSystem = FileSystemKind::None;
  std::string volumeLabel;         // UTF-8
  bool operator==(const ObjectDetails&) const = default;
};

// The file system with its label: "ext4 'home'", "swap"; empty when none was found.
std::string FileSystemText(const ObjectDetails& details);
// "Linux  sda5  ext4 'home'": what is known of type name, partition name and file system, two
// blanks apart; empty when nothing is.
std::string DetailsText(const ObjectDetails& details);

class ObjectDetailsSource final : public IChangeObserver {
 public:
  // sysfsRoot is where the kernel's partitions of block devices are read (tests give a folder
  // of their own).
  ObjectDetailsSource(WorkingCopy& workingCopy, const RegistryStore& registry, std::string sysfsRoot = "/sys");
  ~ObjectDetailsSource() override;
  ObjectDetailsSource(const ObjectDetailsSource&) = delete;
  ObjectDetailsSource& operator=(const ObjectDetailsSource&) = delete;

  // Reads the catalogue's type names anew; a tree build starts with it, since the catalogue
  // dialog may have renamed a type.
  void ReadTypeNames();
  ObjectDetails Of(CHardDisk& disk, LevelKind level, const CPartition& object);
  // Forgets what was read of a disk whose sectors changed behind the working copy (an image
  // written onto one of its partitions).
  void Forget(unsigned device) { disks_.erase(device); }
  // Time spent reading the kernel's partitions and probing file systems, all told.
  std::chrono::steady_clock::duration ReadingTime() const { return readingTime_; }

  void OnWorkingCopyChange(ChangeEvent event, unsigned deviceNumber) override;

 private:
  struct DiskFacts {
    std::optional<std::vector<KernelPartition>> kernelPartitions;  // read at first need
    std::map<std::uint64_t, std::optional<VolumeIdentity>> volumes;  // by first sector
  };
  std::optional<VolumeIdentity> VolumeAt(CHardDisk& disk, DiskFacts& facts, std::uint64_t start);
  const std::vector<KernelPartition>& KernelPartitionsOfDisk(const CHardDisk& disk, DiskFacts& facts);
  void NameFromTable(const CHardDisk& disk, LevelKind level, const CPartition& object, ObjectDetails& details) const;

  WorkingCopy& workingCopy_;
  const RegistryStore& registry_;
  std::string sysfsRoot_;
  std::map<std::uint8_t, std::string> typeNames_;
  std::map<unsigned, DiskFacts> disks_;
  std::chrono::steady_clock::duration readingTime_{};
};

}  // namespace korvex
