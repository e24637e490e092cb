#pragma once
// Recognising the engine's loader in a disk's sector 0.
#include <cstdint>
#include <span>

namespace korvex {

// Sector 0 holds the engine's loader: its code and boot signature are the loader template's.
// This is the LoaderCheck that disks are opened with (partition/LoaderCheck.h).
bool HoldsOurLoader(std::span<const std::uint8_t> sector0);

}  // namespace korvex
