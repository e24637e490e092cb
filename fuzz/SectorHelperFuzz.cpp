// The sector helper's answer files as untrusted input. A disk is opened through the helper
// transport, whose helper is answered in place (no program runs), its tables are read and it is
// saved. The input says how each exchange ends and how long its answer file is; the answers'
// bytes come from a geometry answer and a disk image in the input:
//
//   byte 0            n, the number of exchange scripts (used in turn; none: every exchange
//                     ends well with an answer of exactly the asked length)
//   n × 3 bytes       how the helper ends (low two bits: exit 0, exit 1, time out, signal; bit 2:
//                     no answer file at all), then the answer's length less the asked one
//                     (signed 16 bits, little-endian)
//   12 bytes          the geometry answer (cylinders, heads, sectors per track)
//   the rest          the disk's sectors, at most 64 (reads past them answer zeros)
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "MemoryDisk.h"
#include "bootengine/LoaderRecognition.h"
#include "disk/SectorHelper.h"
#include "disk/SectorHelperProtocol.h"
#include "partition/DiskSaver.h"

namespace {

using namespace korvex;

constexpr std::size_t kMaxSectors = 64;
constexpr std::size_t kMaxAnswer = 64 * 512;

struct Script {
  std::uint8_t end = 0;
  std::int16_t lengthChange = 0;
};

class AnsweringHelper {
 public:
  AnsweringHelper(const std::uint8_t* data, std::size_t size) {
    const std::size_t scripts = size > 0 ? data[0] : 0;
    std::size_t at = 1;
    for (std::size_t k = 0; k < scripts && at + 3 <= size; ++k, at += 3) {
      scripts_.push_back({data[at], static_cast<std::int16_t>(data[at + 1] | data[at + 2] << 8)});
    }
    const std::size_t geometryEnd = std::min(size, at + kHelperGeometrySize);
    geometry_.assign(data + std::min(at, size), data + geometryEnd);
    geometry_.resize(kHelperGeometrySize, 0);
    const std::size_t sectors = std::min((size - geometryEnd) / 512, kMaxSectors);
    disk_.assign(data + geometryEnd, data + geometryEnd + sectors * 512);
  }

  ProgramResult Run(const ProgramRun& run) {
    const Script script = scripts_.empty() ? Script{} : scripts_[exchanges_++ % scripts_.size()];
    std::string error;
    const auto request = ParseHelperArguments(run.arguments, error);
    if (!request) return {ProgramEnd::Exited, 2};
    std::vector<std::uint8_t> answer;
    if (request->operation == HelperOperation::Geometry) {
      answer = geometry_;
    } else {
      const HelperGeometry geometry = DecodeHelperGeometry(std::span<const std::uint8_t, kHelperGeometrySize>(geometry_));
      const std::uint64_t lba =
          (std::uint64_t{request->address.cylinder} * geometry.heads + request->address.head) * geometry.sectorsPerTrack +
          request->address.sector - 1;
      const std::uint64_t bytes = std::uint64_t{request->sectors} * 512;
      if (bytes > kMaxAnswer) return {ProgramEnd::Exited, 1};
      if (request->operation == HelperOperation::Write) {
        Store(lba, request->file, bytes);
      } else {
        answer.assign(bytes, 0);
        for (std::uint64_t i = 0; i < bytes && lba * 512 + i < disk_.size(); ++i) answer[i] = disk_[lba * 512 + i];
      }
    }
    if ((script.end & 4) != 0) {
      ::unlink(request->file.c_str());
    } else if (request->operation != HelperOperation::Write) {
      const std::int64_t length =
          std::clamp<std::int64_t>(static_cast<std::int64_t>(answer.size()) + script.lengthChange, 0, kMaxAnswer);
      answer.resize(static_cast<std::size_t>(length), 0xA5);
      std::ofstream(request->file, std::ios::binary | std::ios::trunc)
          .write(reinterpret_cast<const char*>(answer.data()), static_cast<std::streamsize>(answer.size()));
    }
    switch (script.end & 3) {
      case 1: return {ProgramEnd::Exited, 1};
      case 2: return {ProgramEnd::TimedOut, -1};
      case 3: return {ProgramEnd::Abnormal, -1};
      default: return {ProgramEnd::Exited, 0};
    }
  }

 private:
  // A write the helper is handed: its file's bytes go onto the disk held here.
  void Store(std::uint64_t lba, const std::string& file, std::uint64_t bytes) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> data(std::istreambuf_iterator<char>(in), {});
    for (std::uint64_t i = 0; i < bytes && i < data.size() && lba * 512 + i < disk_.size(); ++i) {
      disk_[lba * 512 + i] = static_cast<std::uint8_t>(data[i]);
    }
  }

  std::vector<Script> scripts_;
  std::vector<std::uint8_t> geometry_;
  std::vector<std::uint8_t> disk_;
  std::size_t exchanges_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  AnsweringHelper helper(data, size);
  SectorHelperSettings settings;
  settings.program = "korvex95";
  settings.run = [&helper](const ProgramRun& run) { return helper.Run(run); };
  fuzz::SilentPrompt prompt;
  if (!ProbeSectorHelper(settings)) return 0;
  CHardDisk disk(0, OpenSectorHelper(settings), OsVersion{kPlatformHelper}, HoldsOurLoader, prompt);
  disk.MarkModified();
  WriteDisk(disk, prompt);
  return 0;
}
