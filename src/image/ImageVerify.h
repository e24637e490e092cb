#pragma once
// Checking an image without touching a disk: the pass a restore makes before its first write,
// and "image verify".
#include <optional>
#include <string>

#include "image/ImageChecksums.h"
#include "image/ImageReading.h"
#include "platform/LongWork.h"

namespace korvex {

// What a restore checks before its first write, so that a damaged image leaves the target as it
// was. With a checksum file that names every file of the image: every byte of every file
// against it, which vouches for the image exactly as the save wrote it (valid streams of the
// right sizes), so its blocks are not decompressed twice. Without one: every block read and, when
// compressed, decompressed (which checks bzip2's CRC) to exactly its sectors. A checksum file
// that cannot be read or does not name every file refuses the image. checksums: the image's
// checksum file as ReadImageChecksums found it. Nothing when the image is sound; else the
// failure, or Cancelled("") when stop was raised.
std::optional<WorkOutcome> CheckBeforeWriting(const ImageLayout& layout, const ImageChecksums& checksums,
                                              unsigned threads, IProgressSink& progress, const StopFlag& stop);

// Compares the files of the image at path with its checksum file when there is one, then reads
// and decompresses every block and checks its structure and sizes.
WorkOutcome VerifyImage(const std::string& path, unsigned threads, IProgressSink& progress, const StopFlag& stop);

}  // namespace korvex
