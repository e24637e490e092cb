#include "bootengine/EngineConfig.h"

namespace korvex {

unsigned BcdToSeconds(std::uint8_t bcd) { return (bcd >> 4) * 10u + (bcd & 0x0Fu); }

std::uint8_t SecondsToBcd(unsigned seconds) { return static_cast<std::uint8_t>(seconds / 10 * 16 + seconds % 10); }

EngineConfig ReadEngineConfig(const CHardDisk& disk) { return ReadEngineConfig(disk.sector0, disk.engineArea); }

EngineConfig ReadEngineConfig(const SectorImage& sector0, const EngineAreaImage& area) {
  EngineConfig config;
  config.timeoutSeconds = BcdToSeconds(area[layout::AREA_TIMEOUT]);
  config.autoboot = area[layout::AREA_AUTOBOOT_SWITCH] == layout::CONST_AUTOBOOT_ON;
  config.menuColour = area[layout::AREA_MENU_COLOUR];
  config.barColour = area[layout::AREA_BAR_COLOUR];
  config.defaultEntry = sector0[layout::LOADER_DEFAULT_ENTRY];
  config.rememberLast = area[layout::AREA_REMEMBER_LAST] != 0;
  config.directBoot = sector0[layout::LOADER_DIRECT_BOOT];
  return config;
}

}  // namespace korvex
