#pragma once
// Whether sector 0 holds the boot engine's loader. Reading a disk needs the answer before it
// trusts the engine's tables, but the loader's code belongs to the boot engine, which builds on
// this layer: the boot engine supplies the check (bootengine/LoaderRecognition.h) and whoever
// opens disks passes it on.
#include <cstdint>
#include <span>

namespace korvex {

using LoaderCheck = bool (*)(std::span<const std::uint8_t> sector0);

}  // namespace korvex
