#include "bootengine/LoaderRecognition.h"

#include "EngineLayout.h"
#include "bootengine/Templates.h"

namespace korvex {
namespace {

// Differing code bytes up to which sector 0 still holds the engine's loader, damaged (a virus or
// a bad sector changed some of them; the self test repairs it). Another program's loader, or
// none, differs in nearly all of them.
constexpr std::size_t kDamagedLoaderBytes = layout::LOADER_CODE_SIZE / 4;

}  // namespace

bool HoldsOurLoader(std::span<const std::uint8_t> sector0) {
  if (sector0.size() < layout::CONST_SECTOR_SIZE) return false;
  std::size_t differing = 0;
  for (std::size_t i = layout::LOADER_CODE; i < layout::LOADER_CODE + layout::LOADER_CODE_SIZE; ++i) {
    differing += sector0[i] != kLoaderTemplate[i] ? 1 : 0;
  }
  return differing <= kDamagedLoaderBytes;
}

}  // namespace korvex
