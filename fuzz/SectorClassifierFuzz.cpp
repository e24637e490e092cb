// The sector classifier and the volume probes on an untrusted disk: every sector classified with
// the rest of the disk around it, what file system begins at each sector, the lost extended
// partitions the hits describe, and adopting them (and the volumes) into the working copy of
// the same in-memory disk, then saving it. Any range past the medium, or a drive outside its
// extended partition, is a fault.
#include "MemoryDisk.h"
#include "analysis/AdoptHit.h"
#include "analysis/DriveSectors.h"
#include "analysis/LostExtended.h"
#include "analysis/VolumeIdentity.h"
#include "partition/DiskSaver.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvex;
  fuzz::SilentPrompt prompt;
  auto disk = fuzz::OpenMemoryDisk(data, size, 512, prompt);
  const std::uint64_t medium = SearchSectors(*disk);
  DriveSectors sectors(*disk, medium);
  std::vector<ScanHit> hits;
  for (std::uint64_t lba = 0; lba < medium; ++lba) {
    for (ScanHit& hit : ClassifyAt(sectors, lba, medium)) {
      Require(!hit.range || (hit.range->length > 0 && hit.range->End() <= medium));
      hits.push_back(std::move(hit));
    }
    if (const auto identity = IdentifyVolume(sectors, lba, medium)) {
      Require(!identity->range || (identity->range->start == lba && identity->range->End() <= medium));
    }
  }
  const auto lost = FindLostExtended(hits, medium, std::uint64_t{disk->Heads()} * disk->SectorsPerTrack());
  for (const LostExtended& extended : lost) {
    Require(!extended.drives.empty() && extended.range.End() <= medium);
    for (const LostDrive& drive : extended.drives) {
      Require(drive.record >= extended.range.start && drive.record < drive.data.start);
      Require(drive.data.End() <= extended.range.End());
    }
    AdoptLostExtended(*disk, extended, prompt);
  }
  for (const ScanHit& hit : hits) {
    if (hit.DescribesVolume()) AdoptHit(*disk, hit, std::nullopt, lost, prompt);
  }
  WriteDisk(*disk, prompt);
  return 0;
}
