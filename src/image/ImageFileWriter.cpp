#include "image/ImageFileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/FileIo.h"

namespace korvex {

ImageFileWriter::ImageFileWriter(std::string mainPath, std::optional<std::uint32_t> splitLimit,
                                 std::vector<FileIdentity> diskFiles)
    : mainPath_(std::move(mainPath)), splitLimit_(splitLimit), diskFiles_(std::move(diskFiles)) {}

ImageFileWriter::~ImageFileWriter() {
  if (!committed_) Discard();
}

bool ImageFileWriter::MayReplace(const std::string& finalPath) {
  if (auto refusal = OutputRefusal(finalPath, diskFiles_)) refusal_ = std::move(*refusal);
  return refusal_.empty();
}

bool ImageFileWriter::Begin(const std::string& finalPath) {
  if (!MayReplace(finalPath)) return false;
  // mkstemp creates the file exclusively and readable by its owner only: an image holds every
  // byte of a file system.
  std::string temp = finalPath + ".tmp-XXXXXX";
  fd_ = ::mkstemp(temp.data());
  if (fd_ < 0) return false;
  files_.push_back({finalPath, temp});
  dataInFile_ = 0;
  return true;
}

bool ImageFileWriter::CloseCurrent(bool flush) {
  if (fd_ < 0) return true;
  const bool flushed = !flush || ::fsync(fd_) == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  return flushed && closed;
}

bool ImageFileWriter::Open() { return Begin(mainPath_) && WriteAll(fd_, kImageMagic); }

bool ImageFileWriter::WriteRecord(const ImageBlockHeader& header, std::span<const std::uint8_t> data) {
  if (fd_ < 0 || !WriteAll(fd_, EncodeHeader(header))) return false;
  if (splitLimit_ && dataInFile_ + data.size() > *splitLimit_) {
    if (!CloseCurrent(true) || !Begin(BlockFileName(mainPath_, static_cast<unsigned>(files_.size() - 1)))) {
      return false;
    }
  }
  if (!WriteAll(fd_, data)) return false;
  dataInFile_ += data.size();
  return true;
}

bool ImageFileWriter::Commit() {
  if (files_.empty() || !CloseCurrent(true)) return false;
  // Every name once more before the first rename: what stands there may have changed meanwhile.
  for (const PendingFile& file : files_) {
    if (!MayReplace(file.finalPath)) return false;
  }
  // Block files first, the main file last: until it is renamed, an older image of the name
  // keeps its main file.
  for (std::size_t n = 1; n <= files_.size(); ++n) {
    PendingFile& file = files_[n % files_.size()];
    if (::rename(file.tempPath.c_str(), file.finalPath.c_str()) != 0) return false;
    file.tempPath.clear();
  }
  committed_ = true;
  return SyncDirectory(std::filesystem::path(mainPath_).parent_path());
}

void ImageFileWriter::Discard() {
  CloseCurrent(false);
  for (const auto& file : files_) {
    if (!file.tempPath.empty()) ::unlink(file.tempPath.c_str());
  }
  files_.clear();
}

}  // namespace korvex
