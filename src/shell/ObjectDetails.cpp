#include "shell/ObjectDetails.h"

#include <algorithm>

#include "analysis/DriveSectors.h"
#include "partition/TableWriter.h"
#include "parttypes/PartTypeCatalogue.h"
#include "platform/StringFormat.h"

namespace korvex {
namespace {

constexpr unsigned kFirstLogicalNumber = 5;
constexpr unsigned kTableEntries = 4;

// Times a piece of reading into total.
class ReadingClock {
 public:
  explicit ReadingClock(std::chrono::steady_clock::duration& total) : total_(total) {}
  ~ReadingClock() { total_ += std::chrono::steady_clock::now() - begun_; }
  ReadingClock(const ReadingClock&) = delete;
  ReadingClock& operator=(const ReadingClock&) = delete;

 private:
  std::chrono::steady_clock::duration& total_;
  std::chrono::steady_clock::time_point begun_ = std::chrono::steady_clock::now();
};

// Where a partition's or logical drive's data begins: a drive's extended boot record comes first.
std::uint64_t DataStartOf(LevelKind level, const CPartition& object) {
  return level == LevelKind::Logical ? object.DataStart() : object.start;
}

}  // namespace

std::string FileSystemText(const ObjectDetails& details) {
  std::string text = FileSystemName(details.fileSystem);
  if (!text.empty() && !details.volumeLabel.empty()) text += " '" + details.volumeLabel + "'";
  return text;
}

std::string DetailsText(const ObjectDetails& details) {
  std::string text;
  for (const std::string& part : {details.typeName, details.partitionName, FileSystemText(details)}) {
    if (part.empty()) continue;
    if (!text.empty()) text += "  ";
    text += part;
  }
  return text;
}

ObjectDetailsSource::ObjectDetailsSource(WorkingCopy& workingCopy, const RegistryStore& registry, std::string sysfsRoot)
    : workingCopy_(workingCopy), registry_(registry), sysfsRoot_(std::move(sysfsRoot)) {
  workingCopy_.Subscribe(*this);
  ReadTypeNames();
}

ObjectDetailsSource::~ObjectDetailsSource() { workingCopy_.Unsubscribe(*this); }

void ObjectDetailsSource::ReadTypeNames() { typeNames_ = TypeNamesById(registry_); }

void ObjectDetailsSource::OnWorkingCopyChange(ChangeEvent event, unsigned deviceNumber) {
  switch (event) {
    case ChangeEvent::AllReloaded:
      disks_.clear();
      break;
    case ChangeEvent::DiskReloaded:
      disks_.erase(deviceNumber);
      break;
    case ChangeEvent::DiskChanged: {
      // An edit keeps what the disk's sectors hold; a save may have written boot sectors.
      const CHardDisk* disk = workingCopy_.Find(deviceNumber);
      if (disk == nullptr || !disk->IsModified()) disks_.erase(deviceNumber);
      break;
    }
  }
}

ObjectDetails ObjectDetailsSource::Of(CHardDisk& disk, LevelKind level, const CPartition& object) {
  ObjectDetails details;
  if (object.IsFree()) return details;
  if (const auto name = typeNames_.find(object.type); name != typeNames_.end()) {
    // A name the catalogue made up for an unknown type ("Typ 131") says nothing new.
    if (name->second != StrFormat("Typ %ld", static_cast<long>(object.type))) details.typeName = name->second;
  }
  DiskFacts& facts = disks_[disk.DeviceNumber()];
  const DeviceEntry* device = workingCopy_.environment().devices.At(disk.DeviceNumber());
  const std::uint64_t start = DataStartOf(level, object);
  if (device != nullptr && !device->isImage) {
    // The kernel names only what it read from the disk: not a partition made since.
    const auto& partitions = KernelPartitionsOfDisk(disk, facts);
    const auto named = std::find_if(partitions.begin(), partitions.end(),
                                    [&](const KernelPartition& p) { return p.start == start; });
    if (named != partitions.end() && !object.isNew) {
      details.number = named->number;
      details.partitionName = named->name;
    }
  } else {
    NameFromTable(disk, level, object, details);
  }
  if (level == LevelKind::Logical || !object.IsExtended()) {
    if (const auto volume = VolumeAt(disk, facts, start)) {
      details.fileSystem = volume->fileSystem;
      details.volumeLabel = volume->label;
    }
  }
  return details;
}

void ObjectDetailsSource::NameFromTable(const CHardDisk& disk, LevelKind level, const CPartition& object,
                                        ObjectDetails& details) const {
  if (level == LevelKind::Primary) {
    // Boot menu entries other than the booted one are kept in the engine's table, not in
    // sector 0: sfdisk sees no number for them.
    if (!object.InPartitionTable()) return;
    const unsigned entry = TableEntryOf(disk, object);
    if (entry >= kTableEntries) return;
    details.number = entry + 1;
  } else {
    unsigned number = kFirstLogicalNumber;
    for (const CPartition* drive : disk.logical.Used()) {
      if (drive == &object) break;
      ++number;
    }
    details.number = number;
  }
  details.partitionName = StrFormat("Nr. %u", *details.number);
}

const std::vector<KernelPartition>& ObjectDetailsSource::KernelPartitionsOfDisk(const CHardDisk& disk,
                                                                                DiskFacts& facts) {
  if (!facts.kernelPartitions) {
    ReadingClock clock(readingTime_);
    const DeviceEntry* device = workingCopy_.environment().devices.At(disk.DeviceNumber());
    facts.kernelPartitions = device != nullptr ? KernelPartitionsOf(device->path, sysfsRoot_)
                                               : std::vector<KernelPartition>{};
  }
  return *facts.kernelPartitions;
}

std::optional<VolumeIdentity> ObjectDetailsSource::VolumeAt(CHardDisk& disk, DiskFacts& facts, std::uint64_t start) {
  if (const auto known = facts.volumes.find(start); known != facts.volumes.end()) return known->second;
  ReadingClock clock(readingTime_);
  DriveSectors sectors(disk, SearchSectors(disk));
  return facts.volumes[start] = IdentifyVolume(sectors, start, sectors.MediumSectors());
}

}  // namespace korvex
