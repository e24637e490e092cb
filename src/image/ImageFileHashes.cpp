#include "image/ImageFileHashes.h"

namespace korvex {

ImageFileHashes::ImageFileHashes(std::optional<std::uint32_t> splitLimit) : split_(splitLimit) {
  current_.Update(kImageMagic);
}

void ImageFileHashes::Add(const ImageBlockHeader& header, std::span<const std::uint8_t> data) {
  current_.Update(EncodeHeader(header));
  if (split_.NextStartsFile(data.size())) finished_.push_back(current_.Finish());
  current_.Update(data);
}

std::vector<Sha256Digest> ImageFileHashes::Finish() {
  finished_.push_back(current_.Finish());
  return std::move(finished_);
}

}  // namespace korvex
