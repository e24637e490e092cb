#pragma once
// FAT32 and NTFS keep a backup of their boot sector: FAT32 a few sectors after the first (its
// parameter block says how many, usually 6), NTFS in the volume's last sector. A boot sector the
// search finds may be either. This tells which, so that a volume whose first sector is lost is
// reported where it begins, and a volume whose two copies both survive is reported once.
#include <cstdint>
#include <functional>

#include "analysis/SectorClassifier.h"

namespace korvex {

enum class CopyRole {
  Original,        // the volume begins at the tested sector
  BackupOfLost,    // a backup whose original is gone: the volume begins distance sectors earlier
  BackupOfIntact,  // a backup whose original survives and agrees with it
};

struct CopyLayout {
  std::uint64_t distance = 0;       // from the original to its backup; 0 when there is none
  std::uint64_t volumeSectors = 0;  // the volume's length, for the test whether it fits the medium
  std::size_t comparedBytes = 0;    // the leading bytes in which two copies of one volume agree
  // Whether the file system's own structures (the first FAT, the master file table) lie where
  // a volume beginning at start keeps them.
  std::function<bool(std::uint64_t start)> structuresAt;
};

// In this order: a copy distance sectors before that agrees makes the tested sector a backup of
// an intact original; a copy distance sectors after makes it the original; else the structures
// decide (the original first), and a volume that could not fit the medium from the tested sector
// on is taken for one whose backup this is. Without any evidence the sector is the original.
CopyRole CopyRoleOf(const ProbeContext& context, const CopyLayout& layout);

}  // namespace korvex
