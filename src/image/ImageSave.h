#pragma once
// Saving a partition image: the worker behind "Partitionsabbild erzeugen". It reads the range
// cylinder by cylinder, compresses blocks on N workers and writes the records in order; it
// never asks the user and returns the outcome to show.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "disk/CPhysicalDrive.h"
#include "image/ImageRange.h"
#include "platform/LongWork.h"

namespace korvex {

struct ImageSaveRequest {
  CPhysicalDrive* disk = nullptr;  // read only; used by the worker's reader thread alone
  SectorRange range;               // ImagedRange of the entry
  std::uint8_t partitionType = 0;
  bool compressed = false;
  std::optional<std::uint32_t> splitLimit;  // data bytes per file; nothing: one file
  std::string path;                         // the main file
  unsigned threads = 0;                     // compression workers; 0: the machine's hardware threads
  std::vector<FileIdentity> diskFiles{};    // the open disks' files (the imaged disk's own is added)
};

// Writes the image of request.range and its checksum file NAME.sha256. Done: "Das
// Partitionsabbild wurde erfolgreich gesichert." Cancelled (at the end of a block): "Das
// Schreiben des Partitionsabbildes wurde abgebrochen!". Failed: a file name where something else
// than a regular file stands or that is the file of an open disk (OutputRefusal, also for the
// block files), the file cannot be created, a sector cannot be read (naming it), a compression
// failure, a short write; a file the system refused is named with the system's reason. Only a
// complete image is renamed into place (and an older image's surplus block files removed);
// every other end removes what was written and leaves an older image of the name as it was.
WorkOutcome SaveImage(const ImageSaveRequest& request, IProgressSink& progress, const StopFlag& stop);

}  // namespace korvex
