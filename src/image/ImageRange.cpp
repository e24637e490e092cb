#include "image/ImageRange.h"

#include "partition/SectorRanges.h"
#include "platform/Texts.h"

namespace korvex {

std::optional<SectorRange> ImagedRange(const CPartition& object, bool logical) {
  if (object.IsFree()) return std::nullopt;
  if (!logical) return object.length == 0 ? std::nullopt : std::optional<SectorRange>({object.start, object.length});
  // A drive whose data would start at its own record (offset 0) has no volume to image.
  if (object.dataOffset == 0 || object.dataOffset >= object.length) return std::nullopt;
  return SectorRange{object.DataStart(), object.DataLength()};
}

std::optional<std::string> ImageRangeRefusal(const CPartition& object, bool logical) {
  const auto range = ImagedRange(object, logical);
  if (!range) return std::string(text::kImageNoRange);
  if (!MbrAddressable(range->first, range->count)) return NotAddressableText(range->first);
  return std::nullopt;
}

}  // namespace korvex
