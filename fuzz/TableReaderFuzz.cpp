// The partition table and extended-chain reader on an untrusted disk: reading, the free-area
// derivation, the checks a save makes, and a save onto the same in-memory disk.
#include "MemoryDisk.h"
#include "partition/DiskSaver.h"
#include "partition/PositionChecks.h"
#include "partition/TableReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvex;
  fuzz::SilentPrompt prompt;
  auto disk = fuzz::OpenMemoryDisk(data, size, 256, prompt);
  for (const PartitionLevel* level : {&disk->primary, &disk->logical}) {
    for (const CPartition* p : level->Used()) {
      CheckPartition(*level, *p, level == &disk->logical ? disk->FindExtended() : nullptr, disk->UsableSectors());
    }
  }
  RebuildFreeAreas(*disk);
  disk->MarkModified();
  WriteDisk(*disk, prompt);
  return 0;
}
