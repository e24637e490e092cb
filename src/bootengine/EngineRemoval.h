#pragma once
// Taking the boot engine out of a disk's working copy, in one of three ways: drop the menu
// partitions and keep the loader without the engine signature (EmptyMbr), restore sector 0 and
// LBA 1 from the backup file (FromBackup), or move chosen menu partitions into the partition
// table (KeepPartitions). The disk changes at the next save.
#include <string>
#include <vector>

#include "partition/CHardDisk.h"
#include "platform/Prompt.h"

namespace korvex {

enum class RemovalMode { EmptyMbr, FromBackup, KeepPartitions };

struct RemovalRequest {
  RemovalMode mode = RemovalMode::EmptyMbr;
  std::string backupPath;     // FromBackup
  std::vector<unsigned> keep; // KeepPartitions: indices into RemovalChoices
};

// The menu partitions (Menu and NewMenu) in level order, at most twelve: the removal dialog's
// check boxes.
std::vector<CPartition*> RemovalChoices(const CHardDisk& disk);

// Removes the engine as request says, then tells the user that the change takes effect with the
// save. KeepPartitions makes the engine's default entry, when it is kept, else the first kept
// partition the only active one, so that the disk boots without the engine, and the report
// names it. Refused with a message and nothing changed: no engine on disk, a backup file that
// ImportBackup refuses, a kept choice that names no menu partition, more kept partitions than
// the partition table has free entries.
bool RemoveEngine(CHardDisk& disk, const RemovalRequest& request, CPrompt& prompt);

}  // namespace korvex
