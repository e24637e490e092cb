#include "partition/MountedChanges.h"

#include <algorithm>
#include <cstdio>

#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

struct SectorSpan {
  std::uint64_t first;
  std::uint64_t count;
};

std::vector<SectorSpan> ChangedRanges(const CHardDisk& disk, std::span<const std::uint32_t> writtenSectors) {
  std::vector<SectorSpan> changed;
  const auto after = RangesTheSaveWrites(disk);
  for (const TableRange& before : disk.rangesOnDisk) {
    const auto sameStart = [&](const TableRange& r) { return r.first == before.first; };
    const auto kept = std::find_if(after.begin(), after.end(), sameStart);
    // Gone or moved away, shorter, or of another type: what lies in the old range is at stake.
    if (kept == after.end() || kept->count < before.count || kept->type != before.type) {
      changed.push_back({before.first, before.count});
    }
  }
  for (const PartitionLevel* level : {&disk.primary, &disk.logical}) {
    for (const CPartition* p : level->Used()) {
      if (p->isNew && p->destructive && !p->IsExtended()) changed.push_back({p->DataStart(), p->DataLength()});
    }
  }
  for (const std::uint32_t lba : writtenSectors) changed.push_back({lba, 1});
  return changed;
}

}  // namespace

std::vector<TableRange> RangesTheSaveWrites(const CHardDisk& disk) {
  std::vector<TableRange> ranges;
  const bool engine = disk.EngineInstalled();
  for (const CPartition* p : disk.primary.Used()) {
    if (p->InPartitionTable() || (engine && p->InMenu())) ranges.push_back({p->start, p->length, p->type});
  }
  for (const CPartition* drive : disk.logical.Used()) {
    ranges.push_back({drive->DataStart(), drive->DataLength(), drive->type});
  }
  return ranges;
}

bool CheckMountsUntouched(const CHardDisk& disk, std::span<const std::uint32_t> writtenSectors,
                          const MountSources& mounts, CPrompt& prompt) {
  const IDiskTransport* transport = disk.Transport();
  if (transport == nullptr) return true;
  const auto mounted = MountedRangesOf(transport->Describe(), mounts);
  if (mounted.empty()) return true;
  for (const SectorSpan& range : ChangedRanges(disk, writtenSectors)) {
    if (range.count == 0) continue;
    for (const MountedRange& mount : mounted) {
      if (mount.first >= range.first + range.count || range.first >= mount.first + mount.count) continue;
      prompt.Message(StrFormat(text::kSaveTouchesMount, disk.DeviceName().c_str(),
                               static_cast<unsigned long long>(range.first),
                               static_cast<unsigned long long>(range.first + range.count - 1), mount.device.c_str(),
                               mount.mountPoint.c_str()),
                     PromptIcon::Stop);
      return false;
    }
  }
  return true;
}

}  // namespace korvex
