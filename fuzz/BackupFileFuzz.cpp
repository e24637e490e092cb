// The boot record backup file as untrusted input, loaded into the working copy of a disk (the
// first 64 sectors of the input after the file's 1024 bytes) and saved; a shorter input is a
// file that is too short.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "MemoryDisk.h"
#include "backup/BackupFile.h"
#include "partition/DiskSaver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvex;
  static const std::string path = "/tmp/korvex-fuzz-backup-" + std::to_string(::getpid());
  const std::size_t fileSize = std::min(size, kBackupFileSize);
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, fileSize, file);
    std::fclose(file);
  }
  fuzz::SilentPrompt prompt;
  auto disk = fuzz::OpenMemoryDisk(data + fileSize, size - fileSize, 64, prompt);
  if (ImportBackup(*disk, path, prompt)) WriteDisk(*disk, prompt);
  return 0;
}
