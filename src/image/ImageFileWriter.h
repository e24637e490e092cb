#pragma once
// The files of one image being written: the main file and, with a split limit, its block
// files. All of them are written under temporary names beside their final names and renamed
// into place only when the image is complete, so an existing image of that name stays whole
// until then; a run that fails or is cancelled removes every file it wrote. A final name where
// something else than a regular file stands, or the file of an open disk, is refused (when its
// file begins and again right before the rename), and nothing is renamed over it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/ImageFormat.h"
#include "platform/OutputTarget.h"

namespace korvex {

class ImageFileWriter {
 public:
  // splitLimit: data bytes per file (nothing: everything stays in the main file); diskFiles:
  // the files of the open disks, which no file of the image may replace.
  ImageFileWriter(std::string mainPath, std::optional<std::uint32_t> splitLimit, std::vector<FileIdentity> diskFiles);
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
  // Why the last call failed when a final name was refused (OutputRefusal); empty otherwise.
  const std::string& Refusal() const { return refusal_; }

 private:
  struct PendingFile {
    std::string finalPath;
    std::string tempPath;
  };
  bool Begin(const std::string& finalPath);
  bool CloseCurrent(bool flush);
  bool MayReplace(const std::string& finalPath);

  std::string mainPath_;
  std::optional<std::uint32_t> splitLimit_;
  std::vector<FileIdentity> diskFiles_;
  std::string refusal_;
  std::vector<PendingFile> files_;
  int fd_ = -1;
  std::uint64_t dataInFile_ = 0;
  bool committed_ = false;
};

}  // namespace korvex
