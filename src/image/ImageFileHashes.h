#pragma once
// The SHA-256 of each file of an image being written (the main file, then its block files in
// number order), for NAME.sha256. It takes the records in the order they are written, but on a
// thread of its own beside the writer (hashing a block costs about as much as writing it), so
// it finds the files' ends with its own count by the writer's rule (SplitPoints).
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "image/ImageFormat.h"
#include "platform/Sha256.h"

namespace korvex {

class ImageFileHashes {
 public:
  // Starts the main file with the magic, as the writer does.
  explicit ImageFileHashes(std::optional<std::uint32_t> splitLimit);

  // The next record: its header, then its data, which may begin the next file.
  void Add(const ImageBlockHeader& header, std::span<const std::uint8_t> data);
  // The digests of every file, the main file first.
  std::vector<Sha256Digest> Finish();

 private:
  SplitPoints split_;
  Sha256 current_;
  std::vector<Sha256Digest> finished_;
};

}  // namespace korvex
