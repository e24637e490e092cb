#pragma once
// Restoring a partition image onto a partition (the worker behind "Partitionsabbild laden"),
// and checking an image without touching any disk. Both walk every record first, decompress
// blocks on N workers and take them in order.
#include <string>

#include "disk/CPhysicalDrive.h"
#include "image/ImageRange.h"
#include "platform/LongWork.h"
#include "platform/MountedRanges.h"

namespace korvex {

struct ImageRestoreRequest {
  CPhysicalDrive* disk = nullptr;  // written by the worker's own thread alone
  SectorRange target;              // ImagedRange of the target entry
  std::string path;                // the main file
  unsigned threads = 0;            // decompression workers; 0: the machine's hardware threads
  MountSources mounts;             // where mounted file systems are looked up
};

// Writes the image's sectors onto request.target and nowhere else. Refused with nothing
// written: a target under a mounted file system, a file that is no image or not whole (every
// header and block file is checked first), an image of another size, a target past the end of
// the disk. A block whose data turns out damaged, a short read or a failed write ends the run
// naming the block and the sectors already written. After a complete run the volume's boot
// sector, when it is NTFS, gets its hidden-sector field set to the volume's first sector, and
// the disk is flushed. A cancelled run ends without a text.
WorkOutcome RestoreImage(const ImageRestoreRequest& request, IProgressSink& progress, const StopFlag& stop);

// Reads and decompresses every block of the image at path and checks its structure and sizes.
WorkOutcome VerifyImage(const std::string& path, unsigned threads, IProgressSink& progress, const StopFlag& stop);

}  // namespace korvex
