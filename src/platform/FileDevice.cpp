#include "platform/FileDevice.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/hdreg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

namespace korvex {
namespace {

class FileDevice final : public IDiskTransport {
 public:
  explicit FileDevice(const DeviceEntry& entry) : entry_(entry) {
    fd_ = ::open(entry.path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) return;
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
      Close();
      return;
    }
    isBlockDevice_ = S_ISBLK(info.st_mode);
    if (!isBlockDevice_ && !S_ISREG(info.st_mode)) Close();
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
    if (!IsOpen() || buffer.size() > kMaxTransfer) return 0;
    size_t done = 0;
    while (done < buffer.size()) {
      const ssize_t n = ::pread(fd_, buffer.data() + done, buffer.size() - done,
                                static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    return static_cast<std::int32_t>(done);
  }

  std::int32_t Write(std::uint64_t offset, std::span<const std::uint8_t> buffer) override {
    if (!IsOpen() || buffer.size() > kMaxTransfer) return 0;
    // An image file must never grow: a write past the end of the disk is refused whole.
    const auto bytes = QuerySize();
    if (!bytes || offset > *bytes || buffer.size() > *bytes - offset) return 0;
    size_t done = 0;
    while (done < buffer.size()) {
      const ssize_t n = ::pwrite(fd_, buffer.data() + done, buffer.size() - done,
                                 static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    return static_cast<std::int32_t>(done);
  }

  bool Flush() override { return IsOpen() && ::fsync(fd_) == 0; }

  TableReload RereadPartitionTable() override {
    if (!isBlockDevice_) return TableReload::NotNeeded;
    if (::ioctl(fd_, BLKRRPART) == 0) return TableReload::Done;
    return errno == EBUSY ? TableReload::Busy : TableReload::Failed;
  }

  std::string Describe() const override { return entry_.path; }

  std::uint64_t SizeBytes() const override { return IsOpen() ? QuerySize().value_or(0) : 0; }

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

  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  DeviceEntry entry_;
  int fd_ = -1;
  bool isBlockDevice_ = false;
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
