#pragma once
// The helper transport: every geometry query, read and write of a disk is handed to the sector
// helper program, one run of the helper per exchange, with the data in an exchange file.
//
// An exchange counts only when the helper ends by itself with exit status 0 within the time
// limit; a helper still running then is ended with everything it started. The geometry answer
// must be whole (12 bytes), a read's answer must hold exactly the bytes asked for (a shorter or
// longer file is a read error, never padded), and a write is reported done only when the
// helper says it wrote every sector. A helper that does not answer in time is told apart from
// one that fails: "Hilfsprogramm antwortet nicht", and for a write whose end is unknown
// "Schreiben ungewiss" (TransferErrors.h).
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ChildProcess.h"
#include "platform/DiskTransport.h"

namespace korvex {

inline constexpr std::chrono::milliseconds kHelperTimeLimit{60'000};
inline constexpr const char* kExchangeFilePrefix = "zqtmp";

struct SectorHelperSettings {
  std::string program;  // full path of the helper program
  std::uint8_t deviceNumber = 0;
  std::string disks;    // the device list as KORVEX_DISKS, passed on so that the helper serves the same
  std::chrono::milliseconds timeLimit = kHelperTimeLimit;
  bool blockDevice = true;  // the device is a disk of this machine, not an image file
  std::string devicePath{};  // the file the helper reaches as this device, when known (for Identity)
  // Starts the helper; tests and the fuzz target answer in its place.
  std::function<ProgramResult(const ProgramRun&)> run = RunProgram;
};

// The geometry exchange run only to learn whether the helper knows the device.
bool ProbeSectorHelper(const SectorHelperSettings& settings);

// The transport of one device through the helper. It opens nothing, so it is always usable;
// each exchange succeeds or fails by itself.
std::unique_ptr<IDiskTransport> OpenSectorHelper(SectorHelperSettings settings);

}  // namespace korvex
