#include "bootengine/ChoiceText.h"

#include "disk/FormatSize.h"
#include "platform/DiskGeometry.h"
#include "platform/StringFormat.h"

namespace korvex {

std::string ChoiceText(const CPartition& partition) {
  const std::string size = FormatSize(std::uint64_t{partition.length} * kSectorSize);
  if (partition.type == 0) return StrFormat("%s frei", size.c_str());
  return StrFormat("%s Typ %d", size.c_str(), static_cast<int>(partition.type));
}

}  // namespace korvex
