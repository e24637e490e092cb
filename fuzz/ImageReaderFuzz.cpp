// The partition image reader on untrusted files: the first header, the walk over every record
// and block file, the checksum file, "image verify", and a restore (with and without its check
// before writing) onto a partition of the image's size on an in-memory disk, which traps any
// write outside that partition. The input is the image's files one after the other: the main
// file, then NAME.000, NAME.001, … each after the separator "--FILE--", and after "--SUMS--"
// the text of NAME.sha256. The files live in a folder in memory (/dev/shm) when there is one.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <variant>

#include "MemoryDisk.h"
#include "image/ImageChecksums.h"
#include "image/ImageRestore.h"
#include "image/ImageVerify.h"
#include "partition/PartitionEntry.h"

namespace {

namespace fs = std::filesystem;
using namespace korvex;

constexpr std::string_view kFileSeparator = "--FILE--";
constexpr std::string_view kSumsSeparator = "--SUMS--";
constexpr std::uint32_t kTargetStart = 32;            // one cylinder of the memory disk's 4 × 8
constexpr std::uint32_t kMaxTargetSectors = 16384;    // 8 MiB: bounds the work of one input

const fs::path& Folder() {
  static const fs::path folder = [] {
    std::string pattern = (fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()).string() +
                          "/korvex-fuzz-image-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return fs::path(pattern);
  }();
  return folder;
}

void Write(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();  // the harness itself failed
}

// Writes the input's files; returns the main file's path.
std::string WriteFiles(std::string_view input) {
  for (const auto& entry : fs::directory_iterator(Folder())) fs::remove(entry.path());
  const std::string main = (Folder() / "image.pim").string();
  const std::size_t sums = input.find(kSumsSeparator);
  if (sums != std::string_view::npos) Write(ChecksumFileName(main), input.substr(sums + kSumsSeparator.size()));
  std::string_view files = input.substr(0, sums);
  for (unsigned n = 0;; ++n) {
    const std::size_t end = files.find(kFileSeparator);
    Write(n == 0 ? main : BlockFileName(main, n - 1), files.substr(0, end));
    if (end == std::string_view::npos) return main;
    files.remove_prefix(end + kFileSeparator.size());
  }
}

// A disk of one cylinder before a primary partition of sectors, and one cylinder after it.
void RestoreOntoMemoryDisk(const std::string& main, const ImageBlockHeader& first, bool checkFirst) {
  const std::uint32_t sectors = first.sectorCount;
  std::vector<std::uint8_t> bytes(std::size_t{kTargetStart + sectors + kTargetStart} * kSectorSize, 0xE5);
  const auto table = std::span(bytes).first(kSectorSize);
  std::fill(table.begin(), table.end(), 0);
  PartitionEntry target;
  target.type = first.partitionType == 0 ? 0x83 : first.partitionType;
  target.relativeStart = kTargetStart;
  target.length = sectors;
  WriteTableEntry(table, 0, target);
  SetBootSignature(table);
  auto transport = std::make_unique<fuzz::MemoryTransport>(std::move(bytes));
  fuzz::MemoryTransport& memory = *transport;
  fuzz::SilentPrompt prompt;
  CHardDisk disk(0, std::move(transport), OsVersion{}, HoldsOurLoader, prompt);
  const CPartition* entry = disk.primary.FindFirst([](const CPartition& p) { return p.start == kTargetStart; });
  if (entry == nullptr) return;  // a type the reader does not keep as a partition
  memory.AllowWritesOnly(std::uint64_t{kTargetStart} * kSectorSize, (std::uint64_t{kTargetStart} + sectors) * kSectorSize);
  ImageRestoreRequest request;
  request.disk = &disk;
  request.entry = entry;
  request.path = main;
  request.threads = 1;
  request.checkFirst = checkFirst;
  request.mounts = {(Folder() / "no-sys").string(), (Folder() / "no-mountinfo").string()};
  NullProgress progress;
  StopFlag stop;
  RestoreImage(request, progress, stop);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string main = WriteFiles(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto layout = ReadImageLayout(main);
  const auto* image = std::get_if<ImageLayout>(&layout);
  if (image == nullptr || image->first.sectorCount > kMaxTargetSectors) return 0;
  NullProgress progress;
  StopFlag stop;
  VerifyImage(main, 1, progress, stop);
  RestoreOntoMemoryDisk(main, image->first, size % 2 == 0);
  return 0;
}
