// The image format's records: the header's bytes field by field, and the headers a reader
// must refuse before it sizes a buffer or writes a sector.
#include "image/ImageFormat.h"

#include <gtest/gtest.h>

#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

TEST(ImageFormat, TheHeaderIsTwentyThreeLittleEndianBytesInFieldOrder) {
  const ImageBlockHeader header{0x04030201, 0x007D8200, 0x0C0B0A09, 0x100F0E0D, 0x14131211, 0x83, 1, 1};
  const HeaderBytes expected = {0x01, 0x02, 0x03, 0x04, 0x00, 0x82, 0x7D, 0x00, 0x09, 0x0A, 0x0B, 0x0C,
                                0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x83, 0x01, 0x01};
  EXPECT_EQ(EncodeHeader(header), expected);
  EXPECT_EQ(DecodeHeader(expected), header);
  EXPECT_EQ(BlockFileName("abc.pim", 0), "abc.pim.000");
  EXPECT_EQ(BlockFileName("abc.pim", 1000), "abc.pim.1000");
}

TEST(ImageFormat, ImpossibleBlockSizesAndEmptyImagesAreFaultsOfTheFirstHeader) {
  const ImageBlockHeader sound{0, 16065 * 512, 16065 * 512, 63, 100000, 7, 0, 0};
  EXPECT_EQ(HeaderFault(sound, sound, 0), std::nullopt);
  // The last block of 100000 sectors holds 100000 - 6 × 16065 = 3610 sectors.
  ImageBlockHeader last = sound;
  last.blockIndex = 6;
  last.dataSize = 3610 * 512;
  EXPECT_EQ(HeaderFault(last, sound, 6), std::nullopt);
  last.dataSize = 16065 * 512;
  EXPECT_EQ(HeaderFault(last, sound, 6),
            StrFormat(text::kImageBlockFault, 6u, StrFormat(text::kImageRawSizeWrong, 16065u * 512, 3610u * 512).c_str()));
  for (std::uint32_t blockBytes : {0u, 1000u, kMaxBlockBytes + 512}) {
    ImageBlockHeader forged = sound;
    forged.blockBytes = blockBytes;
    EXPECT_EQ(HeaderFault(forged, forged, 0),
              StrFormat(text::kImageBlockFault, 0u, StrFormat(text::kImageBadBlockBytes, blockBytes, kMaxBlockBytes).c_str()));
  }
  ImageBlockHeader empty = sound;
  empty.sectorCount = 0;
  EXPECT_EQ(HeaderFault(empty, empty, 0), StrFormat(text::kImageBlockFault, 0u, text::kImageNoSectors));
  ImageBlockHeader split = sound;
  split.split = 7;
  EXPECT_EQ(HeaderFault(split, split, 0),
            StrFormat(text::kImageBlockFault, 0u, StrFormat(text::kImageBadSplitFlag, 7u).c_str()));
}

}  // namespace
}  // namespace korvex
