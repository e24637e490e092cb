#include "platform/OsIdentity.h"

#include <cstdlib>
#include <string_view>

namespace korvex {

OsVersion QueryOsVersion() {
  const char* platform = std::getenv("KORVEX_PLATFORM");
  if (platform != nullptr && std::string_view(platform) == "9x") return OsVersion{kPlatformHelper};
  return OsVersion{kPlatformDirect};
}

}  // namespace korvex
