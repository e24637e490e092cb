#include "analysis/DiskScan.h"

#include <algorithm>
#include <iterator>

#include "analysis/CylinderReader.h"
#include "analysis/DriveSectors.h"
#include "analysis/SectorClassifier.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// What the probes see while a cylinder is tested: the copies the reader kept, and any other
// sector from the disk.
class NearbyWindow final : public ISectorSource {
 public:
  NearbyWindow(const CylinderFinds& finds, DriveSectors& disk) : finds_(finds), disk_(disk) {}

  bool ReadSector(std::uint64_t lba, SectorBytes& out) override {
    const auto copy = finds_.nearby.find(lba);
    if (copy == finds_.nearby.end()) return disk_.ReadSector(lba, out);
    if (!copy->second) return false;  // unreadable: not read a second time
    out = *copy->second;
    return true;
  }

 private:
  const CylinderFinds& finds_;
  DriveSectors& disk_;
};

void AppendRuns(std::vector<SectorRun>& runs, const std::vector<SectorRun>& more) {
  for (const SectorRun& run : more) {
    if (!runs.empty() && runs.back().first + runs.back().count == run.first) {
      runs.back().count += run.count;
    } else {
      runs.push_back(run);
    }
  }
}

std::uint64_t SectorCount(const std::vector<SectorRun>& runs) {
  std::uint64_t count = 0;
  for (const SectorRun& run : runs) count += run.count;
  return count;
}

}  // namespace

WorkOutcome ScanDisk(CPhysicalDrive& drive, ScanResults& results, IProgressSink& progress, const StopFlag& stop,
                     const HitCallback& onHit) {
  results = ScanResults{};
  const std::uint64_t perCylinder = std::uint64_t{drive.Heads()} * drive.SectorsPerTrack();
  const std::uint64_t total = SearchSectors(drive);
  if (!drive.IsUsable() || perCylinder == 0 || total == 0) {
    return WorkOutcome::Failed(StrFormat(text::kScanDiskUnreadable, drive.DeviceName().c_str()));
  }
  results.searchedSectors = total;
  progress.SetRange(total);
  DriveSectors sectors(drive, total);
  CylinderReader reader(sectors, total, static_cast<std::uint32_t>(perCylinder));
  const RunClock clock;

  // Hits wait here, sorted by sector, until no later sector can name an earlier one.
  std::vector<ScanHit> pending;
  const auto release = [&](std::uint64_t certainBefore) {
    const auto end = std::find_if(pending.begin(), pending.end(),
                                  [&](const ScanHit& hit) { return hit.sector >= certainBefore; });
    for (auto hit = pending.begin(); hit != end; ++hit) {
      progress.SetStatus(text::kScanHit);
      results.hits.push_back(*hit);
      if (onHit) onHit(*hit);
      progress.SetStatus(text::kScanSearching);
    }
    pending.erase(pending.begin(), end);
  };

  bool cancelled = false;
  for (std::uint64_t first = 0; first < total; first += perCylinder) {
    const std::uint64_t end = std::min(first + perCylinder, total);
    progress.SetPosition(end);
    progress.SetStatus(text::kScanReadingFrom + std::to_string(first));
    const auto finds = reader.Next();
    if (stop.Requested() || !finds) {
      cancelled = finds.has_value();
      break;
    }
    AppendRuns(results.unreadable, finds->unreadable);
    progress.SetStatus(text::kScanSearching);
    NearbyWindow window(*finds, sectors);
    for (const std::uint64_t lba : finds->candidates) {
      const SectorBytes& sector = *finds->nearby.at(lba);
      auto hits = ClassifySector(ProbeContext{lba, sector, window, total});
      pending.insert(pending.end(), std::make_move_iterator(hits.begin()), std::make_move_iterator(hits.end()));
    }
    std::stable_sort(pending.begin(), pending.end(),
                     [](const ScanHit& a, const ScanHit& b) { return a.sector < b.sector; });
    release(end - std::min(end, kMaxLookBehind));
    progress.SetEstimate(clock.Estimate(end, total));
  }
  release(UINT64_MAX);

  if (cancelled) {
    progress.SetStatus(text::kScanCancelled);
    return WorkOutcome::Cancelled("");
  }
  results.extended = FindLostExtended(results.hits, total, perCylinder);
  progress.SetStatus(text::kScanEnded);
  if (const std::uint64_t skipped = SectorCount(results.unreadable); skipped > 0) {
    return WorkOutcome{WorkEnd::Done, StrFormat(text::kScanSectorsSkipped, static_cast<unsigned long long>(skipped)),
                       PromptIcon::Exclamation};
  }
  return WorkOutcome::Done("");
}

}  // namespace korvex
