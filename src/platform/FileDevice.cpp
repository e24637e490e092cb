#include "platform/FileDevice.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/hdreg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

namespace korvex {
namespace {

// From this size on a write is sent on to the disk at once (a restore writes whole cylinders).
constexpr std::size_t kWritebackAtOnceBytes = std::size_t{1} << 20;

class FileDevice final : public IDiskTransport {
 public:
  explicit FileDevice(const DeviceEntry& entry) : entry_(entry) {
    // The type is checked before opening: opening a FIFO would wait for a writer.
    struct stat info {};
    if (::stat(entry.path.c_str(), &info) != 0) {
      openError_ = std::strerror(errno);
      return;
    }
    if (!S_ISREG(info.st_mode) && !S_ISBLK(info.st_mode)) {
      openError_ = S_ISDIR(info.st_mode) ? "ist ein Verzeichnis" : "ist weder eine Abbilddatei noch ein Blockgerät";
      return;
    }
    fd_ = ::open(entry.path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
      // A medium the user may only read is still listed; every write is refused.
      fd_ = ::open(entry.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
      readOnly_ = fd_ >= 0;
    }
    if (fd_ < 0) {
      openError_ = std::strerror(errno);
      return;
    }
    if (::fstat(fd_, &info) != 0 || (!S_ISREG(info.st_mode) && !S_ISBLK(info.st_mode))) {
      openError_ = "ist weder eine Abbilddatei noch ein Blockgerät";
      Close();
      return;
    }
    isBlockDevice_ = S_ISBLK(info.st_mode);
  }
  ~FileDevice() override { Close(); }

  bool IsOpen() const override { return fd_ >= 0; }

  std::optional<DiskGeometry> QueryGeometry() override {
    if (!IsOpen()) return std::nullopt;
    const auto bytes = QuerySize();
    if (!bytes) return std::nullopt;
    DiskGeometry geometry;
    geometry.MediaType = kFixedMediaType;
    geometry.BytesPerSector = kSectorSize;
    if (entry_.heads != 0) {
      geometry.TracksPerCylinder = entry_.heads;
      geometry.SectorsPerTrack = entry_.sectors;
    } else if (isBlockDevice_) {
      struct hd_geometry hd {};
      if (::ioctl(fd_, HDIO_GETGEO, &hd) == 0 && hd.heads != 0 && hd.sectors != 0) {
        geometry.TracksPerCylinder = hd.heads;
        geometry.SectorsPerTrack = hd.sectors;
      } else {
        geometry.TracksPerCylinder = LbaAssistHeads(*bytes);
        geometry.SectorsPerTrack = 63;
      }
    } else {
      geometry.TracksPerCylinder = LbaAssistHeads(*bytes);
      geometry.SectorsPerTrack = 63;
    }
    const std::uint64_t cylinderBytes =
        std::uint64_t{geometry.TracksPerCylinder} * geometry.SectorsPerTrack * kSectorSize;
    geometry.Cylinders = static_cast<std::int64_t>(*bytes / cylinderBytes);
    return geometry;
  }

  std::int32_t Read(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
    lastErrno_ = 0;
    if (!IsOpen() || buffer.size() > kMaxTransfer) return Fail(EINVAL);
    size_t done = 0;
    while (done < buffer.size()) {
      const ssize_t n = ::pread(fd_, buffer.data() + done, buffer.size() - done,
                                static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) lastErrno_ = errno;
      if (n <= 0) break;  // 0: the end of the medium
      done += static_cast<size_t>(n);
    }
    return static_cast<std::int32_t>(done);
  }

  std::int32_t Write(std::uint64_t offset, std::span<const std::uint8_t> buffer) override {
    lastErrno_ = 0;
    if (!IsOpen() || buffer.size() > kMaxTransfer) return Fail(EINVAL);
    if (readOnly_) return Fail(EROFS);
    // An image file must never grow: a write past the end of the disk is refused whole.
    const auto bytes = QuerySize();
    if (!bytes || offset > *bytes || buffer.size() > *bytes - offset) return Fail(ENOSPC);
    size_t done = 0;
    while (done < buffer.size()) {
      const ssize_t n = ::pwrite(fd_, buffer.data() + done, buffer.size() - done,
                                 static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) lastErrno_ = errno;
      if (n == 0) lastErrno_ = ENOSPC;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    // The disk then works while the next piece is read, and the final fsync has little left to
    // wait for. Only a hint: where the system cannot, the fsync does it all.
    if (done >= kWritebackAtOnceBytes) {
      ::sync_file_range(fd_, static_cast<off_t>(offset), static_cast<off_t>(done), SYNC_FILE_RANGE_WRITE);
    }
    return static_cast<std::int32_t>(done);
  }

  bool Reserve(std::uint64_t offset, std::uint64_t length) override {
    lastErrno_ = 0;
    if (!IsOpen() || readOnly_) {
      Fail(readOnly_ ? EROFS : EINVAL);
      return false;
    }
    if (isBlockDevice_) return true;
    if (::fallocate(fd_, 0, static_cast<off_t>(offset), static_cast<off_t>(length)) == 0) return true;
    // A file system that cannot allocate ahead leaves the writes to find out.
    if (errno == EOPNOTSUPP || errno == ENOSYS) return true;
    lastErrno_ = errno;
    return false;
  }

  std::string OpenError() const override { return openError_; }
  bool IsReadOnly() const override { return readOnly_; }
  bool IsBlockDevice() const override { return isBlockDevice_; }
  int LastErrorNumber() const override { return lastErrno_; }
  std::optional<FileIdentity> Identity() const override { return IdentityOfDescriptor(fd_); }

  bool Flush() override { return IsOpen() && ::fsync(fd_) == 0; }

  TableReload RereadPartitionTable() override {
    if (!isBlockDevice_) return TableReload::NotNeeded;
    if (::ioctl(fd_, BLKRRPART) == 0) return TableReload::Done;
    return errno == EBUSY ? TableReload::Busy : TableReload::Failed;
  }

  std::string Describe() const override { return entry_.path; }

  std::uint64_t SizeBytes() const override { return IsOpen() ? QuerySize().value_or(0) : 0; }

  std::unique_ptr<IMediumView> ViewForReading() override { return IsOpen() ? ViewMedium(fd_, SizeBytes()) : nullptr; }

 private:
  static constexpr size_t kMaxTransfer = std::numeric_limits<std::int32_t>::max();

  std::optional<std::uint64_t> QuerySize() const {
    if (isBlockDevice_) {
      std::uint64_t bytes = 0;
      if (::ioctl(fd_, BLKGETSIZE64, &bytes) != 0) return std::nullopt;
      return bytes;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
  }

  std::int32_t Fail(int error) {
    lastErrno_ = error;
    return 0;
  }

  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  DeviceEntry entry_;
  int fd_ = -1;
  bool isBlockDevice_ = false;
  bool readOnly_ = false;
  std::string openError_;
  int lastErrno_ = 0;
};

}  // namespace

std::uint32_t LbaAssistHeads(std::uint64_t bytes) {
  constexpr std::uint64_t kMiB = 1024 * 1024;
  if (bytes <= 504 * kMiB) return 16;
  if (bytes <= 1008 * kMiB) return 32;
  if (bytes <= 2016 * kMiB) return 64;
  if (bytes <= 4032 * kMiB) return 128;
  return 255;
}

std::unique_ptr<IDiskTransport> OpenFileDevice(const DeviceEntry& entry) {
  return std::make_unique<FileDevice>(entry);
}

}  // namespace korvex
