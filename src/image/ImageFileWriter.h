#pragma once
// The files of one image being written: the main file and, with a split limit, its block
// files. All of them are written under temporary names beside their final names and renamed
// into place only when the image is complete, so an existing image of that name stays whole
// until then; a run that fails or is cancelled removes every file it wrote.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/ImageFormat.h"

namespace korvex {

class ImageFileWriter {
 public:
  // splitLimit: data bytes per file (nothing: everything stays in the main file).
  ImageFileWriter(std::string mainPath, std::optional<std::uint32_t> splitLimit);
  ~ImageFileWriter();  // discards the files unless they were committed
  ImageFileWriter(const ImageFileWriter&) = delete;
  ImageFileWriter& operator=(const ImageFileWriter&) = delete;

  // Creates the main file and writes the magic; false when it cannot be created.
  bool Open();
  // Writes the header into the current file; then, splitting, moves on to the next block file
  // when the data would take the current file's data bytes past the limit; then the data.
  bool WriteRecord(const ImageBlockHeader& header, std::span<const std::uint8_t> data);
  // Flushes every file and renames the block files, then the main file, into place.
  bool Commit();
  // Removes every file written so far (names of older images are left as they were).
  void Discard();

 private:
  struct PendingFile {
    std::string finalPath;
    std::string tempPath;
  };
  bool Begin(const std::string& finalPath);
  bool CloseCurrent(bool flush);

  std::string mainPath_;
  std::optional<std::uint32_t> splitLimit_;
  std::vector<PendingFile> files_;
  int fd_ = -1;
  std::uint64_t dataInFile_ = 0;
  bool committed_ = false;
};

}  // namespace korvex
