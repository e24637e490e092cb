#pragma once
// The operating system's identity as the program sees it. Platform id 2 selects the direct
// transport (the device is opened and read by the program itself); any other id selects the
// helper transport, in which every transfer goes through an external sector helper program.

namespace korvex {

inline constexpr unsigned kPlatformDirect = 2;
inline constexpr unsigned kPlatformHelper = 1;

struct OsVersion {
  unsigned platformId = kPlatformDirect;
};

// Direct transport unless KORVEX_PLATFORM=9x asks for the helper transport.
OsVersion QueryOsVersion();

}  // namespace korvex
