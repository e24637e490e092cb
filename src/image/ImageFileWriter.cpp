#include "image/ImageFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "image/ImageChecksums.h"
#include "platform/FileIo.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {

ImageFileWriter::ImageFileWriter(std::string mainPath, std::optional<std::uint32_t> splitLimit,
                                 std::vector<FileIdentity> diskFiles)
    : mainPath_(std::move(mainPath)), diskFiles_(std::move(diskFiles)), split_(splitLimit) {}

ImageFileWriter::~ImageFileWriter() {
  if (!committed_) Discard();
}

bool ImageFileWriter::SystemFailure(const std::string& path) {
  failedPath_ = path;
  failureReason_ = std::strerror(errno);
  return false;
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
  if (fd_ < 0) return SystemFailure(finalPath);
  files_.push_back({finalPath, temp, {}});
  bytesInFile_ = 0;
  writebackFrom_ = 0;
  return true;
}

bool ImageFileWriter::Write(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) return false;
  if (!WriteAll(fd_, bytes)) return SystemFailure(files_.back().finalPath);
  bytesInFile_ += bytes.size();
  return true;
}

void ImageFileWriter::StartWriteback() {
  // Sends what was written since the last call on to the disk now, so that the disk works
  // while the next block is read and the final fsync has little left to wait for. Only a
  // hint: where the system cannot, the fsync does it all.
  ::sync_file_range(fd_, static_cast<off_t>(writebackFrom_), static_cast<off_t>(bytesInFile_ - writebackFrom_),
                    SYNC_FILE_RANGE_WRITE);
  writebackFrom_ = bytesInFile_;
}

bool ImageFileWriter::CloseCurrent(bool flush) {
  if (fd_ < 0) return true;
  const bool flushed = !flush || ::fsync(fd_) == 0;
  const int flushError = errno;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (flushed && closed) return true;
  if (!flushed) errno = flushError;
  return SystemFailure(files_.back().finalPath);
}

bool ImageFileWriter::Open() { return Begin(mainPath_) && Write(kImageMagic); }

bool ImageFileWriter::WriteRecord(const ImageBlockHeader& header, std::span<const std::uint8_t> data) {
  if (!Write(EncodeHeader(header))) return false;
  if (split_.NextStartsFile(data.size())) {
    if (!CloseCurrent(true) || !Begin(BlockFileName(mainPath_, static_cast<unsigned>(files_.size() - 1)))) {
      return false;
    }
  }
  if (!Write(data)) return false;
  StartWriteback();
  return true;
}

bool ImageFileWriter::AddChecksumFile() {
  std::string lines;
  for (const PendingFile& file : files_) lines += ChecksumLine(file.digest, file.finalPath);
  const std::string finalPath = ChecksumFileName(mainPath_);
  if (!MayReplace(finalPath)) return false;
  std::string temp = finalPath + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return SystemFailure(finalPath);
  checksums_ = PendingFile{finalPath, temp, {}};
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(lines.data()), lines.size());
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const int error = errno;
  const bool closed = ::close(fd) == 0;
  if (written && closed) return true;
  if (!written) errno = error;
  return SystemFailure(finalPath);
}

bool ImageFileWriter::Commit(const std::vector<Sha256Digest>& digests) {
  if (files_.empty() || digests.size() != files_.size() || !CloseCurrent(true)) return false;
  for (std::size_t n = 0; n < files_.size(); ++n) files_[n].digest = digests[n];
  if (!AddChecksumFile()) return false;
  // Every name once more before the first rename: what stands there may have changed meanwhile.
  for (const PendingFile& file : files_) {
    if (!MayReplace(file.finalPath)) return false;
  }
  if (!MayReplace(checksums_->finalPath)) return false;
  // Block files first, then the checksums, the main file last: until it is renamed, an older
  // image of the name keeps its main file.
  std::vector<PendingFile*> order;
  for (std::size_t n = 1; n < files_.size(); ++n) order.push_back(&files_[n]);
  order.push_back(&*checksums_);
  order.push_back(&files_[0]);
  for (PendingFile* file : order) {
    if (::rename(file->tempPath.c_str(), file->finalPath.c_str()) != 0) return SystemFailure(file->finalPath);
    file->tempPath.clear();
  }
  committed_ = true;
  const std::filesystem::path folder = std::filesystem::path(mainPath_).parent_path();
  if (!SyncDirectory(folder)) return SystemFailure(folder.string());
  RemoveSurplusBlockFiles(files_.size() - 1);
  return SyncDirectory(folder) || SystemFailure(folder.string());
}

void ImageFileWriter::RemoveSurplusBlockFiles(std::size_t blockFiles) {
  // An older set numbers its block files from 000 on without a gap; the first number that has
  // no regular file (or holds an open disk's file, which is never touched) ends it.
  for (auto n = static_cast<unsigned>(blockFiles);; ++n) {
    const std::string name = BlockFileName(mainPath_, n);
    struct stat info {};
    if (::lstat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
    if (CheckOutputTarget(name, diskFiles_) != OutputTarget::Free) return;
    if (::unlink(name.c_str()) != 0) {
      surplusNotice_ = StrFormat(text::kImageSurplusNotRemoved, name.c_str(), std::strerror(errno));
      return;
    }
  }
}

void ImageFileWriter::Discard() {
  CloseCurrent(false);
  for (const auto& file : files_) {
    if (!file.tempPath.empty()) ::unlink(file.tempPath.c_str());
  }
  if (checksums_ && !checksums_->tempPath.empty()) ::unlink(checksums_->tempPath.c_str());
  files_.clear();
  checksums_.reset();
}

}  // namespace korvex
