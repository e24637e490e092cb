#pragma once
// Keeping the logical level consistent when partitions are created, deleted or change type:
// the chain positions of the logical drives, and which extended partition owns the level.
#include "partition/CHardDisk.h"
#include "platform/Prompt.h"

namespace korvex {

// Gives the logical drives their chain positions (slot 0, 1, … in order of start).
void NumberLogicalDrives(CHardDisk& disk);

// The extended partition former no longer owns the logical level (it is deleted or no longer
// extended): its logical drives are dropped. If the partition table holds another extended
// partition, that one takes the level over with the drives its own chain describes on the
// disk, so that a later save writes its chain as it is instead of an empty one.
void ReleaseLogicalLevel(CHardDisk& disk, CPartition& former, CPrompt& prompt);

}  // namespace korvex
