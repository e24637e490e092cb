#include "bootengine/LoaderRecognition.h"

#include <algorithm>

#include "EngineLayout.h"
#include "bootengine/Templates.h"
#include "partition/PartitionEntry.h"

namespace korvex {

bool HoldsOurLoader(std::span<const std::uint8_t> sector0) {
  if (sector0.size() < layout::CONST_SECTOR_SIZE || !HasBootSignature(sector0)) return false;
  const auto code = sector0.subspan(layout::LOADER_CODE, layout::LOADER_CODE_SIZE);
  return std::equal(code.begin(), code.end(), kLoaderTemplate.begin() + layout::LOADER_CODE);
}

}  // namespace korvex
