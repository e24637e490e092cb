#include "image/ImageReading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/FileIo.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// A regular file opened for reading, with its size.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile() { Close(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool Open(const std::string& path) {
    Close();
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      Close();
      return false;
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
    return true;
  }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd() const { return fd_; }
  std::uint64_t size() const { return size_; }

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

FirstHeader ReadFirstHeaderFrom(const InputFile& file) {
  std::array<std::uint8_t, kImageMagic.size()> magic{};
  if (!ReadExactAt(file.fd(), 0, magic) || magic != kImageMagic) return {FirstHeaderState::NotAnImage, {}};
  HeaderBytes bytes{};
  if (!ReadExactAt(file.fd(), kImageMagic.size(), bytes)) return {FirstHeaderState::HeaderCut, {}};
  return {FirstHeaderState::Read, DecodeHeader(bytes)};
}

std::string Damaged(std::uint32_t block, const std::string& what) {
  return StrFormat(text::kImageDamaged, StrFormat(text::kImageBlockFault, block, what.c_str()).c_str());
}

}  // namespace

FirstHeader ReadFirstHeader(const std::string& path) {
  InputFile file;
  if (!file.Open(path)) return {FirstHeaderState::CannotOpen, {}};
  return ReadFirstHeaderFrom(file);
}

std::string FirstHeaderRefusal(FirstHeaderState state, const std::string& path) {
  switch (state) {
    case FirstHeaderState::CannotOpen:
      return LoadResString(IDS_BACKUP_CANNOT_OPEN);
    case FirstHeaderState::NotAnImage:
      return text::kImageNotAnImage;
    case FirstHeaderState::HeaderCut:
      return Damaged(0, StrFormat(text::kImageHeaderCut, path.c_str()));
    case FirstHeaderState::Read:
      break;
  }
  return {};
}

std::variant<ImageLayout, std::string> ReadImageLayout(const std::string& path) {
  InputFile file;
  const FirstHeader first = file.Open(path) ? ReadFirstHeaderFrom(file) : FirstHeader{};
  if (first.state != FirstHeaderState::Read) return FirstHeaderRefusal(first.state, path);
  if (auto fault = HeaderFault(first.header, first.header, 0)) return StrFormat(text::kImageDamaged, fault->c_str());

  ImageLayout layout{first.header, {path}, {}};
  const std::uint32_t blocks = first.header.BlockCount();
  std::uint64_t position = kImageMagic.size();
  for (std::uint32_t index = 0; index < blocks; ++index) {
    HeaderBytes bytes{};
    if (!ReadExactAt(file.fd(), position, bytes)) {
      return Damaged(index, StrFormat(text::kImageHeaderCut, layout.files.back().c_str()));
    }
    const ImageBlockHeader header = DecodeHeader(bytes);
    if (auto fault = HeaderFault(header, first.header, index)) return StrFormat(text::kImageDamaged, fault->c_str());
    position += kImageHeaderSize;
    // The writer moves on to the next block file right after a header, so a header that ends
    // its file has its data at the start of the next one.
    if (position == file.size() && first.header.split == 1) {
      const std::string next = BlockFileName(path, static_cast<unsigned>(layout.files.size() - 1));
      if (!file.Open(next)) return Damaged(index, StrFormat(text::kImageBlockFileMissing, next.c_str()));
      layout.files.push_back(next);
      position = 0;
    }
    if (file.size() - position < header.dataSize) {
      return Damaged(index, StrFormat(text::kImageDataCut, layout.files.back().c_str()));
    }
    layout.records.push_back({header, static_cast<std::uint32_t>(layout.files.size() - 1), position});
    position += header.dataSize;
  }
  return layout;
}

ImageDataReader::~ImageDataReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool ImageDataReader::Read(std::uint32_t index, std::span<std::uint8_t> buffer) {
  const ImageRecord& record = layout_.records.at(index);
  if (buffer.size() < record.header.dataSize) return false;
  if (fd_ < 0 || openFile_ != record.file) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = ::open(layout_.files[record.file].c_str(), O_RDONLY | O_CLOEXEC);
    openFile_ = record.file;
    if (fd_ < 0) return false;
  }
  return ReadExactAt(fd_, record.dataOffset, buffer.first(record.header.dataSize));
}

}  // namespace korvex
