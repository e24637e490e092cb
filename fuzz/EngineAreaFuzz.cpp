// The boot engine's area (LBA 1..7) and sector 0 as an untrusted disk: the menu reader, the
// engine configuration, the self test in both modes, and a save.
#include "MemoryDisk.h"
#include "bootengine/EngineConfig.h"
#include "bootengine/SelfTest.h"
#include "partition/DiskSaver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvex;
  fuzz::SilentPrompt prompt;
  auto disk = fuzz::OpenMemoryDisk(data, size, 64, prompt);
  ReadEngineConfig(*disk);
  disk->MenuEntriesBySlot();
  SelfTest(*disk, true);
  SelfTest(*disk, false);
  WriteDisk(*disk, prompt);
  return 0;
}
