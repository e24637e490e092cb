#pragma once
// Reading the boot engine's configuration bytes from a disk's images: the automatic-boot
// timeout and switch, the two colours, the default entry and the remember-last and direct-boot
// flags. The operations that change them are the menu configuration's.
#include <cstdint>

#include "partition/CHardDisk.h"

namespace korvex {

struct EngineConfig {
  unsigned timeoutSeconds = 0;   // decimal, from the two BCD digits
  bool autoboot = false;         // the countdown runs (autoboot switch 75h)
  std::uint8_t menuColour = 0;   // text attribute: background high nibble, foreground low nibble
  std::uint8_t barColour = 0;    // the selection bar's attribute
  std::uint8_t defaultEntry = 0; // menu position highlighted first (sector 0, as the engine reads it)
  bool rememberLast = false;     // the engine stores each booted position as the default
  std::uint8_t directBoot = 0;   // non-zero: the default entry boots at once, without the menu
};

// Tens in the high nibble, units in the low nibble.
unsigned BcdToSeconds(std::uint8_t bcd);
// The two BCD digits of seconds (0..99; more is cut to 8 bits).
std::uint8_t SecondsToBcd(unsigned seconds);

// Meaningful only while the engine is installed on disk.
EngineConfig ReadEngineConfig(const CHardDisk& disk);
// The same from a disk's two images.
EngineConfig ReadEngineConfig(const SectorImage& sector0, const EngineAreaImage& area);

}  // namespace korvex
