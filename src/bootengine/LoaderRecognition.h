#pragma once
// Recognising the engine's loader in a disk's sector 0.
#include <cstdint>
#include <span>

namespace korvex {

// Sector 0 holds the engine's loader: its code is the loader template's but for a little damage
// (a lost signature is damage the self test repairs too, not another loader). This is the
// LoaderCheck that disks are opened with (partition/LoaderCheck.h).
bool HoldsOurLoader(std::span<const std::uint8_t> sector0);

}  // namespace korvex
