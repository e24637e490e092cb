#pragma once
// The two constant images the program carries, assembled from realmode/loader.asm and
// realmode/engine.asm at build time: the loader sector (LBA 0, empty partition table) and the
// engine area (LBA 1..7) as first installed.
#include <array>
#include <cstdint>

#include "EngineLayout.h"

namespace korvex {

extern const std::array<std::uint8_t, layout::CONST_SECTOR_SIZE> kLoaderTemplate;
extern const std::array<std::uint8_t, layout::CONST_AREA_SIZE> kEngineTemplate;

}  // namespace korvex
