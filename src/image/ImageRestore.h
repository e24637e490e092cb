#pragma once
// Restoring a partition image onto a partition (the worker behind "Partitionsabbild laden"). It
// walks every record first, checks the image's data before its first write (ImageVerify.h),
// then decompresses blocks on N workers and writes them in order.
#include <optional>
#include <string>
#include <variant>

#include "image/ImageRange.h"
#include "partition/CHardDisk.h"
#include "platform/LongWork.h"
#include "platform/MountedRanges.h"

namespace korvex {

struct ImageRestoreRequest {
  CHardDisk* disk = nullptr;          // written by the worker's own thread alone
  const CPartition* entry = nullptr;  // the target, an object of disk's working copy
  bool logical = false;               // entry is a logical drive
  std::string path;                   // the main file
  unsigned threads = 0;               // decompression workers; 0: the machine's hardware threads
  bool checkFirst = true;             // check the image's data before the first write (CheckBeforeWriting)
  MountSources mounts;                // where mounted file systems are looked up
};

// The sectors a restore onto entry writes (its ImagedRange), or the refusal when they must not
// be written: a range that holds sector 0, reaches into the boot engine's sectors 0..7 on a disk
// with the engine, shares a sector with another partition or logical drive (whose extended boot
// record is its first sector) or reaches past the end of the disk — a damaged or hostile table.
std::variant<SectorRange, std::string> RestoreTarget(const CHardDisk& disk, const CPartition& entry, bool logical);
// The refusal of RestoreTarget alone: what "Abbild laden..." is greyed for.
std::optional<std::string> RestoreTargetRefusal(const CHardDisk& disk, const CPartition& entry, bool logical);

// Writes the image's sectors onto the target and nowhere else. Refused with nothing written:
// a target RestoreTarget refuses, one under a mounted file system, a file that is no image or
// not whole (every header and block file is checked first), an image of another size, and,
// with checkFirst, an image whose data the check before writing finds damaged. A block whose
// data turns out damaged while writing (without the check), a short read or a failed write ends
// the run naming the block and the sectors already written (a failed write may have changed the
// sectors of its block). The volume's boot sector, when it is NTFS, gets its hidden-sector field
// set to the volume's first sector as it is written (NtfsHiddenSectors.h); after the last block
// the disk is flushed. A cancelled run says how many sectors it wrote and that the partition is
// no longer consistent when it wrote any.
WorkOutcome RestoreImage(const ImageRestoreRequest& request, IProgressSink& progress, const StopFlag& stop);

// "Die Partitionsgröße und Partitionsabbild sind nicht gleich." followed by both sizes.
std::string SizeMismatchText(std::uint32_t imageSectors, std::uint32_t partitionSectors);

}  // namespace korvex
