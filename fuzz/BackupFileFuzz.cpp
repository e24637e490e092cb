// The boot record backup file as untrusted input, loaded into the working copy of a disk (the
// first 64 sectors of the input after the file's 1024 bytes) and saved; a shorter input is a
// file that is too short. The file lives in memory (memfd), so no run waits for a disk.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "MemoryDisk.h"
#include "backup/BackupFile.h"
#include "partition/DiskSaver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvex;
  static const int fd = ::memfd_create("korvex-fuzz-backup", MFD_CLOEXEC);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  const std::size_t fileSize = std::min(size, kBackupFileSize);
  if (fd < 0 || ::ftruncate(fd, 0) != 0 ||
      ::pwrite(fd, data, fileSize, 0) != static_cast<ssize_t>(fileSize)) {
    std::abort();  // the harness itself failed
  }
  fuzz::SilentPrompt prompt;
  auto disk = fuzz::OpenMemoryDisk(data + fileSize, size - fileSize, 64, prompt);
  if (ImportBackup(*disk, path, prompt)) WriteDisk(*disk, prompt);
  return 0;
}
