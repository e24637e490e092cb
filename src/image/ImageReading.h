#pragma once
// Reading image files: the first header (what the restore dialog shows), the walk over every
// record of the main file and its block files before anything is written, and the records'
// data in order.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "image/ImageFormat.h"
#include "platform/InputFile.h"

namespace korvex {

// CannotOpen: the file is missing or may not be read; NotAFile: a FIFO, socket, device or folder
// stands there (never opened so that it could block).
enum class FirstHeaderState { Read, CannotOpen, NotAFile, NotAnImage, HeaderCut };
struct FirstHeader {
  FirstHeaderState state = FirstHeaderState::CannotOpen;
  ImageBlockHeader header;  // valid when state is Read
  std::string openError;    // why the file could not be opened (CannotOpen, NotAFile)
};
// The magic and the first header of the main file at path.
FirstHeader ReadFirstHeader(const std::string& path);
// Why a file whose first header is not Read is refused; a file that cannot be opened gets the
// program's message followed by the path and the reason.
std::string FirstHeaderRefusal(const FirstHeader& first, const std::string& path);

struct ImageRecord {
  ImageBlockHeader header;
  std::uint32_t file = 0;        // index into ImageLayout::files
  std::uint64_t dataOffset = 0;  // where the record's data starts in that file
};

struct ImageLayout {
  ImageBlockHeader first;
  std::vector<std::string> files;  // the main file, then the block files it uses, in number order
  std::vector<ImageRecord> records;
};

// Walks every header of the image at path, seeking over the data: each header must be sound
// (HeaderFault), each record's data must lie whole in its file or, after a header that ends a
// file of a split image, at the start of the next block file, and the records must hold
// exactly the image's sectorCount. Returns the layout, or the message why the file is no
// usable image.
std::variant<ImageLayout, std::string> ReadImageLayout(const std::string& path);

// Reads the records' data in order, opening each file once.
class ImageDataReader {
 public:
  explicit ImageDataReader(const ImageLayout& layout) : layout_(layout) {}
  ImageDataReader(const ImageDataReader&) = delete;
  ImageDataReader& operator=(const ImageDataReader&) = delete;

  // Reads record index's data into buffer (at least dataSize bytes); false when it cannot.
  bool Read(std::uint32_t index, std::span<std::uint8_t> buffer);

 private:
  const ImageLayout& layout_;
  std::uint32_t openFile_ = 0;
  InputFile file_;
};

}  // namespace korvex
