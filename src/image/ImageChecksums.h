#pragma once
// NAME.sha256 beside an image NAME: the SHA-256 of the main file and of every block file, one
// line each in the form `sha256sum` writes and `sha256sum -c` reads ("DIGEST  FILE", the file
// named without its folder, so that the check runs in the image's folder). It covers every byte
// of every file and so catches what the image format itself cannot: a changed byte in the data
// of an uncompressed image. The .pim files do not change.
#include <map>
#include <optional>
#include <string>

#include "image/ImageReading.h"
#include "platform/LongWork.h"
#include "platform/Sha256.h"

namespace korvex {

std::string ChecksumFileName(const std::string& mainPath);

// The line for file (named without its folder), with its line break; a name holding a
// backslash, a line break or a carriage return is escaped with a leading backslash as
// sha256sum does.
std::string ChecksumLine(const Sha256Digest& digest, const std::string& file);

struct ImageChecksums {
  enum class State { Absent, Read, Unusable };
  State state = State::Absent;
  std::string path;                             // the checksum file
  std::map<std::string, Sha256Digest> byName;   // file names without their folder
  std::string problem;                          // why it is Unusable, as a message
};

// The checksum file of the image whose main file is mainPath: Absent when there is none.
ImageChecksums ReadImageChecksums(const std::string& mainPath);

// Hashes every file of layout and compares it with checksums (Read). Nothing when all match;
// otherwise the failure (a file the list does not name, one that cannot be read, a digest that
// differs), or Cancelled("") when stop was raised. progress counts the bytes hashed.
std::optional<WorkOutcome> CompareChecksums(const ImageLayout& layout, const ImageChecksums& checksums,
                                            IProgressSink& progress, const StopFlag& stop);

}  // namespace korvex
