#include "image/ImageReading.h"

#include <algorithm>

#include "platform/FileIo.h"
#include "platform/InputFile.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

FirstHeader ReadFirstHeaderFrom(const InputFile& file) {
  std::array<std::uint8_t, kImageMagic.size()> magic{};
  if (!ReadExactAt(file.fd(), 0, magic) || magic != kImageMagic) return {FirstHeaderState::NotAnImage, {}, {}};
  HeaderBytes bytes{};
  if (!ReadExactAt(file.fd(), kImageMagic.size(), bytes)) return {FirstHeaderState::HeaderCut, {}, {}};
  return {FirstHeaderState::Read, DecodeHeader(bytes), {}};
}

std::string Damaged(std::uint32_t block, const std::string& what) {
  return StrFormat(text::kImageDamaged, StrFormat(text::kImageBlockFault, block, what.c_str()).c_str());
}

FirstHeader OpenFailure(const InputFile& file) {
  return {file.WrongType() ? FirstHeaderState::NotAFile : FirstHeaderState::CannotOpen, {}, file.Error()};
}

}  // namespace

FirstHeader ReadFirstHeader(const std::string& path) {
  InputFile file;
  if (!file.Open(path)) return OpenFailure(file);
  return ReadFirstHeaderFrom(file);
}

std::string FirstHeaderRefusal(const FirstHeader& first, const std::string& path) {
  switch (first.state) {
    case FirstHeaderState::CannotOpen:
    case FirstHeaderState::NotAFile:
      return LoadResString(IDS_BACKUP_CANNOT_OPEN) + StrFormat(text::kPathAndReason, path.c_str(), first.openError.c_str());
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
  const FirstHeader first = file.Open(path) ? ReadFirstHeaderFrom(file) : OpenFailure(file);
  if (first.state != FirstHeaderState::Read) return FirstHeaderRefusal(first, path);
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

bool ImageDataReader::Read(std::uint32_t index, std::span<std::uint8_t> buffer) {
  const ImageRecord& record = layout_.records.at(index);
  if (buffer.size() < record.header.dataSize) return false;
  if (file_.fd() < 0 || openFile_ != record.file) {
    openFile_ = record.file;
    if (!file_.Open(layout_.files[record.file])) return false;
  }
  return ReadExactAt(file_.fd(), record.dataOffset, buffer.first(record.header.dataSize));
}

}  // namespace korvex
