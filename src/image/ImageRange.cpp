#include "image/ImageRange.h"

namespace korvex {

std::optional<SectorRange> ImagedRange(const CPartition& object, bool logical) {
  if (object.IsFree()) return std::nullopt;
  if (!logical) return object.length == 0 ? std::nullopt : std::optional<SectorRange>({object.start, object.length});
  // A drive whose data would start at its own record (offset 0) has no volume to image.
  if (object.dataOffset == 0 || object.dataOffset >= object.length) return std::nullopt;
  return SectorRange{object.DataStart(), object.DataLength()};
}

}  // namespace korvex
