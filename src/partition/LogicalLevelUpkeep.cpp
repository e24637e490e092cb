#include "partition/LogicalLevelUpkeep.h"

#include "partition/TableReader.h"

namespace korvex {

void NumberLogicalDrives(CHardDisk& disk) {
  std::uint8_t position = 0;
  for (CPartition* drive : disk.logical.Used()) drive->slot = position++;
}

void ReleaseLogicalLevel(CHardDisk& disk, CPartition& former, CPrompt& prompt) {
  former.holdsLogicalDrives = false;
  disk.logical.Clear();
  disk.logicalDrivesOnDisk = 0;
  CPartition* successor = disk.primary.FindFirst(
      [&](const CPartition& p) { return &p != &former && p.InPartitionTable() && p.IsExtended(); });
  if (successor == nullptr) return;
  successor->holdsLogicalDrives = true;
  ReadExtendedChain(disk, *successor, prompt);
}

}  // namespace korvex
