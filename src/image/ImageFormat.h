#pragma once
// The partition image file: the magic "KORVEX", then block records, each a 23-byte header
// followed by its data. A block is one cylinder of the imaged range counted from the range's
// first sector (the last one holds the rest), stored raw or as one bzip2 stream. With block
// files the data goes on in "NAME.000", "NAME.001", …; a record's header may stand at the end
// of one file and its data at the start of the next.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/DiskGeometry.h"

namespace korvex {

inline constexpr std::array<std::uint8_t, 6> kImageMagic = {'K', 'O', 'R', 'V', 'E', 'X'};
inline constexpr std::size_t kImageHeaderSize = 23;
// The largest cylinder any geometry of this program yields (8-bit heads and sectors per track);
// a header claiming more is damaged, and no buffer is ever sized beyond it.
inline constexpr std::uint32_t kMaxBlockBytes = 255u * 255u * kSectorSize;

struct ImageBlockHeader {
  std::uint32_t blockIndex = 0;   // 0 for the first block, counting up by 1
  std::uint32_t blockBytes = 0;   // bytes of a full block: heads × sectors per track × 512
  std::uint32_t dataSize = 0;     // data bytes that follow this header
  std::uint32_t startSector = 0;  // absolute sector of the imaged range's first sector
  std::uint32_t sectorCount = 0;  // sectors in the imaged range
  std::uint8_t partitionType = 0;
  std::uint8_t compressed = 0;    // 1: the data is a bzip2 stream; 0: raw sectors
  std::uint8_t split = 0;         // 1: written with block files

  bool operator==(const ImageBlockHeader&) const = default;
  std::uint32_t SectorsPerBlock() const { return blockBytes / kSectorSize; }
  // Records of a complete image: one per cylinder, the last one possibly shorter.
  std::uint32_t BlockCount() const;
  // Sectors that block index holds in a complete image.
  std::uint32_t SectorsOfBlock(std::uint32_t index) const;
};

using HeaderBytes = std::array<std::uint8_t, kImageHeaderSize>;

HeaderBytes EncodeHeader(const ImageBlockHeader& header);
ImageBlockHeader DecodeHeader(std::span<const std::uint8_t, kImageHeaderSize> bytes);

// The output buffer bzip2 needs at most for one block: blockBytes + blockBytes / 100 + 600.
std::uint32_t CompressedBound(std::uint32_t blockBytes);

// "%s.%3.3d": the block file with number n after the main file.
std::string BlockFileName(const std::string& mainFile, unsigned n);

// Where a writer with a split limit moves on to the next file: a record whose data would take
// the current file's data bytes past the limit puts its data into the next file (its header
// stays behind). Without a limit everything stays in the main file.
class SplitPoints {
 public:
  explicit SplitPoints(std::optional<std::uint32_t> limit) : limit_(limit) {}
  // Counts the data of the next record; true when it goes into a new file.
  bool NextStartsFile(std::size_t dataBytes);

 private:
  std::optional<std::uint32_t> limit_;
  std::uint64_t dataInFile_ = 0;
};

// What is wrong with a header of an image whose first header is first, when it stands as
// record expectedIndex: nothing for a sound header, else a short German description. The
// first header is checked against itself (its own fields must be sound too).
std::optional<std::string> HeaderFault(const ImageBlockHeader& header, const ImageBlockHeader& first,
                                       std::uint32_t expectedIndex);

}  // namespace korvex
