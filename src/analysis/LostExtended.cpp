#include "analysis/LostExtended.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "partition/AdoptVolume.h"

namespace korvex {
namespace {

class ChainFinder {
 public:
  ChainFinder(const std::vector<ScanHit>& hits, std::uint64_t mediumSectors, std::uint64_t sectorsPerCylinder)
      : medium_(mediumSectors), perCylinder_(sectorsPerCylinder) {
    for (const ScanHit& hit : hits) {
      if (hit.record && hit.sector != 0) records_.emplace(hit.sector, *hit.record);
      if (hit.DescribesVolume()) volumes_.push_back(&hit);
    }
    std::stable_sort(volumes_.begin(), volumes_.end(),
                     [](const ScanHit* a, const ScanHit* b) { return a->range->start < b->range->start; });
  }

  std::vector<LostExtended> Find() {
    std::vector<LostExtended> found;
    for (const auto& [lba, record] : records_) {
      if (claimed_.contains(lba)) continue;
      if (auto lost = Walk(ChainStart(lba, record))) found.push_back(std::move(*lost));
    }
    std::sort(found.begin(), found.end(),
              [](const LostExtended& a, const LostExtended& b) { return a.range.start < b.range.start; });
    return found;
  }

 private:
  // Where the extended partition begins whose first surviving record lies at first: there,
  // unless the record's link reaches a record only when counted from an earlier start (the
  // record there is lost).
  std::uint64_t ChainStart(std::uint64_t first, const ExtendedRecord& record) const {
    if (!record.HasLink() || records_.contains(first + record.linkOffset)) return first;
    for (auto next = records_.upper_bound(first); next != records_.end(); ++next) {
      const std::uint64_t start = next->first - std::min<std::uint64_t>(next->first, record.linkOffset);
      if (start >= 1 && start < first && !claimed_.contains(next->first)) return start;
    }
    return first;
  }

  // The chain of the extended partition that begins at start, followed forward only.
  std::optional<LostExtended> Walk(std::uint64_t start) {
    LostExtended lost;
    std::set<std::uint64_t> ownRecords;
    std::uint64_t frontier = start;  // nothing of a later drive may lie before this
    std::optional<std::uint64_t> place = start;
    while (place) {
      const std::uint64_t at = *place;
      place.reset();
      const auto record = records_.find(at);
      if (record != records_.end()) {
        if (claimed_.contains(at)) break;
        claimed_.insert(at);
        ownRecords.insert(at);
        const ExtendedRecord& entries = record->second;
        frontier = std::max(frontier, at + 1);
        if (entries.HasDrive()) {
          const VolumeRange data{at + entries.driveOffset, entries.driveLength};
          if (data.start < frontier || data.End() > medium_) break;  // overlaps the chain so far or leaves the medium
          lost.drives.push_back(DriveAt(at, data, entries.driveType, true));
          frontier = data.End();
        }
        const std::uint64_t next = start + entries.linkOffset;
        if (entries.HasLink() && next > at && next >= frontier && next < medium_) place = next;
        continue;
      }
      // The record a link names is lost: the volume found close behind it was its drive, and the
      // chain goes on at the next record whose own link fits this extended partition.
      if (const ScanHit* volume = VolumeBehind(at, frontier)) {
        lost.drives.push_back(DriveAt(at, *volume->range, FittingType(volume->fileSystem, *volume->range, perCylinder_),
                                      false));
        frontier = volume->range->End();
      }
      const auto next = records_.lower_bound(std::max(frontier, at + 1));
      if (next != records_.end() && !claimed_.contains(next->first) && LinkFits(start, *next)) place = next->first;
    }
    if (lost.drives.empty()) return std::nullopt;
    lost.range = VolumeRange{start, EndAfter(frontier, ownRecords) - start};
    lost.type = FittingExtendedType(lost.range, perCylinder_);
    return lost;
  }

  // A record's link fits the extended partition at start when it ends the chain or reaches a
  // record further on.
  bool LinkFits(std::uint64_t start, const std::pair<const std::uint64_t, ExtendedRecord>& record) const {
    const std::uint64_t next = start + record.second.linkOffset;
    return !record.second.HasLink() || (next > record.first && records_.contains(next));
  }

  // The first volume beginning behind a lost record at place, close enough to be its drive.
  const ScanHit* VolumeBehind(std::uint64_t place, std::uint64_t frontier) const {
    for (const ScanHit* volume : volumes_) {
      const std::uint64_t begin = volume->range->start;
      if (begin > place + kFarthestRecord) break;
      if (begin > place && begin >= frontier && volume->range->End() <= medium_) return volume;
    }
    return nullptr;
  }

  LostDrive DriveAt(std::uint64_t record, const VolumeRange& data, std::uint8_t type, bool recordFound) const {
    LostDrive drive{record, data, type, recordFound, FileSystemKind::None, "", std::nullopt};
    for (const ScanHit* volume : volumes_) {
      if (volume->range->start != data.start) continue;
      drive.fileSystem = volume->fileSystem;
      drive.label = volume->label;
      if (volume->throughBackup) drive.bootBackup = volume->sector;
      break;
    }
    return drive;
  }

  // The end of an extended partition whose last drive ends at lastEnd: where the next volume or
  // a record of another chain begins, else the medium's end.
  std::uint64_t EndAfter(std::uint64_t lastEnd, const std::set<std::uint64_t>& ownRecords) const {
    std::uint64_t end = medium_;
    for (const ScanHit* volume : volumes_) {
      if (volume->range->start < lastEnd) continue;
      end = std::min(end, volume->range->start);
      break;
    }
    for (auto record = records_.lower_bound(lastEnd); record != records_.end(); ++record) {
      if (ownRecords.contains(record->first)) continue;
      end = std::min(end, record->first);
      break;
    }
    return std::max(end, lastEnd);
  }

  std::uint64_t medium_;
  std::uint64_t perCylinder_;
  std::map<std::uint64_t, ExtendedRecord> records_;
  std::vector<const ScanHit*> volumes_;  // the hits that describe a volume, by the volume's start
  std::set<std::uint64_t> claimed_;      // records that belong to a chain already
};

}  // namespace

std::vector<LostExtended> FindLostExtended(const std::vector<ScanHit>& hits, std::uint64_t mediumSectors,
                                           std::uint64_t sectorsPerCylinder) {
  return ChainFinder(hits, mediumSectors, sectorsPerCylinder).Find();
}

}  // namespace korvex
