#pragma once
// The files of one image being written: the main file and, with a split limit, its block
// files, and beside them NAME.sha256 with the SHA-256 of each (ImageChecksums.h), taken beside
// the writer (ImageFileHashes.h) and given to Commit. All of them are written under temporary names beside their final names and
// renamed into place only when the image is complete, so an existing image of that name stays
// whole until then; a run that fails or is cancelled removes every file it wrote. A final name
// where something else than a regular file stands, or the file of an open disk, is refused
// (when its file begins and again right before the rename), and nothing is renamed over it.
// Block files of an older image of the name beyond the new image's last one are removed once
// the new image is in place: left behind, they would read as part of the new set.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/ImageFormat.h"
#include "platform/OutputTarget.h"
#include "platform/Sha256.h"

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
  // Flushes every file, writes the checksum file with digests (one per file written, the main
  // file first), renames the block files, the checksum file and last the main file into place,
  // then removes the older image's surplus block files.
  bool Commit(const std::vector<Sha256Digest>& digests);
  // Removes every file written so far (names of older images are left as they were).
  void Discard();

  // Why the last call failed when a final name was refused (OutputRefusal); empty otherwise.
  const std::string& Refusal() const { return refusal_; }
  // The file and the system's reason of the last failed call when the system refused it.
  const std::string& FailedPath() const { return failedPath_; }
  const std::string& FailureReason() const { return failureReason_; }
  // After a Commit: the line that tells of a surplus block file of an older image that could not
  // be removed; empty when there was none.
  const std::string& SurplusNotice() const { return surplusNotice_; }

 private:
  struct PendingFile {
    std::string finalPath;
    std::string tempPath;
    Sha256Digest digest{};
  };
  bool Begin(const std::string& finalPath);
  bool Write(std::span<const std::uint8_t> bytes);
  void StartWriteback();
  bool CloseCurrent(bool flush);
  bool MayReplace(const std::string& finalPath);
  bool AddChecksumFile();
  void RemoveSurplusBlockFiles(std::size_t blockFiles);
  bool SystemFailure(const std::string& path);

  std::string mainPath_;
  std::vector<FileIdentity> diskFiles_;
  std::string refusal_;
  std::string failedPath_;
  std::string failureReason_;
  std::string surplusNotice_;
  std::vector<PendingFile> files_;  // the main file, then the block files in number order
  std::optional<PendingFile> checksums_;
  SplitPoints split_;
  int fd_ = -1;
  std::uint64_t bytesInFile_ = 0;    // everything written to the current file, headers too
  std::uint64_t writebackFrom_ = 0;  // where the current file's bytes not yet sent back begin
  bool committed_ = false;
};

}  // namespace korvex
