#pragma once
// A small disk image for the partition image tests (4 heads × 8 sectors, so one cylinder is 32
// sectors): a primary partition of 10 cylinders and 10 sectors with a patterned content and a
// second one of the same length as the restore target, a primary partition of exactly 10
// cylinders, and an extended partition whose two logical drives keep their data 64 sectors
// after their records (not one track, as a disk aligned by other tools has it).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "bootengine/LoaderRecognition.h"
#include "demo/ImageBuilder.h"
#include "image/ImageRestore.h"
#include "image/ImageSave.h"
#include "image/ImageVerify.h"
#include "partition/CHardDisk.h"
#include "support/DiskInCopy.h"
#include "support/FakeMounts.h"
#include "support/FaultyTransport.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex::test {

inline constexpr std::uint32_t kImgHeads = 4;
inline constexpr std::uint32_t kImgSpt = 8;
inline constexpr std::uint32_t kImgCylinder = kImgHeads * kImgSpt;
inline constexpr std::uint32_t kSourceStart = kImgCylinder;  // 10 cylinders and 10 sectors
inline constexpr std::uint32_t kSourceLength = 10 * kImgCylinder + 10;
inline constexpr std::uint32_t kTargetStart = 400;  // the same length
inline constexpr std::uint32_t kEvenStart = 800;  // exactly 10 cylinders
inline constexpr std::uint32_t kEvenLength = 10 * kImgCylinder;
inline constexpr std::uint32_t kExtendedStart = 1200;
inline constexpr std::uint32_t kDataOffset = 64;  // from a logical drive's record to its data
inline constexpr std::uint32_t kLogicalData = 300;
inline constexpr std::uint32_t kLogical1 = kExtendedStart;
inline constexpr std::uint32_t kLogical2 = kExtendedStart + 600;

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Records the positions and steps a run reports; raises stopAtStart, when given, as soon as the
// run reports the range of its step number stopAtStep (counted from 1), that is during the first
// block of that step (a restore checks the image, then writes).
struct RecordingProgress final : IProgressSink {
  explicit RecordingProgress(StopFlag* stopAtStart = nullptr, int stopAtStep = 1)
      : stopAtStart(stopAtStart), stopAtStep(stopAtStep) {}
  void SetRange(std::uint64_t) override {
    if (stopAtStart != nullptr && ++ranges == stopAtStep) stopAtStart->Request();
  }
  void SetPosition(std::uint64_t position) override { positions.push_back(position); }
  void SetStatus(const std::string& text) override { statuses.push_back(text); }
  void SetEstimate(const TimeEstimate&) override {}
  StopFlag* stopAtStart;
  int stopAtStep;
  int ranges = 0;
  std::vector<std::uint64_t> positions;
  std::vector<std::string> statuses;
};

class ImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    image.emplace(*ImageBuilder::Create(dir.File("disk.img"), 80, kImgHeads, kImgSpt, error));
    ASSERT_TRUE(image->AddPrimary(0, 0x0C, kSourceStart, kSourceLength));
    ASSERT_TRUE(image->AddPrimary(1, 0x0C, kTargetStart, kSourceLength));
    ASSERT_TRUE(image->AddPrimary(2, 0x83, kEvenStart, kEvenLength));
    ASSERT_TRUE(image->AddExtended(3, 0x05, kExtendedStart, 1200,
                                   {{kLogical1, kLogical1 + kDataOffset, kLogicalData, 0x07},
                                    {kLogical2, kLogical2 + kDataOffset, kLogicalData, 0x07}}));
    Fill(kSourceStart, kSourceLength, 1);
    Fill(kEvenStart, kEvenLength, 2);
    Fill(kLogical1 + kDataOffset, kLogicalData, 3);
  }

  // Sectors that differ from each other and from sector to sector, partly compressible.
  void Fill(std::uint32_t first, std::uint32_t count, std::uint32_t seed) {
    std::uint32_t state = seed * 2654435761u;
    for (std::uint32_t s = first; s < first + count; ++s) {
      Bytes sector(512);
      for (std::size_t i = 0; i < sector.size(); ++i) {
        state = state * 1103515245u + 12345u;
        sector[i] = i < 256 ? static_cast<std::uint8_t>(state >> 24) : static_cast<std::uint8_t>(s + i / 64);
      }
      ASSERT_TRUE(image->WriteSector(s, sector));
    }
  }

  Bytes Sectors(std::uint32_t first, std::uint32_t count) const {
    const Bytes all = ReadFile(image->path());
    return Bytes(all.begin() + std::int64_t{first} * 512, all.begin() + (std::int64_t{first} + count) * 512);
  }

  DiskInCopy Open() { return OpenDisk(*image, prompt); }
  // The disk through a transport that fails chosen sectors; faulty points at it.
  DiskInCopy OpenFaulty(FaultyTransport*& faulty) {
    std::string error;
    auto inner = OpenFileDevice(*ParseDeviceSpec(image->Spec(), error));
    auto transport = std::make_unique<FaultyTransport>(std::move(inner));
    faulty = transport.get();
    return DiskInCopy(std::make_unique<CHardDisk>(0, std::move(transport), OsVersion{}, HoldsOurLoader, prompt), prompt);
  }

  static CPartition& At(const PartitionLevel& level, std::uint32_t start) {
    CPartition* p = level.FindFirst([&](const CPartition& q) { return q.start == start; });
    if (p == nullptr) throw std::runtime_error("no object at " + std::to_string(start));
    return *p;
  }

  WorkOutcome Save(CHardDisk& disk, std::uint32_t start, const std::string& path, bool compressed,
                   std::optional<std::uint32_t> splitLimit = std::nullopt, unsigned threads = 2, bool logical = false) {
    const CPartition& entry = At(logical ? disk.logical : disk.primary, start);
    ImageSaveRequest request{&disk, *ImagedRange(entry, logical), entry.type, compressed, splitLimit, path, threads};
    return SaveImage(request, progress, stop);
  }

  WorkOutcome Restore(CHardDisk& disk, std::uint32_t start, const std::string& path, unsigned threads = 2,
                      bool logical = false, bool checkFirst = true) {
    ImageRestoreRequest request = RestoreRequest(disk, start, path, threads, logical);
    request.checkFirst = checkFirst;
    return RestoreImage(request, progress, stop);
  }
  ImageRestoreRequest RestoreRequest(CHardDisk& disk, std::uint32_t start, const std::string& path, unsigned threads = 2,
                                     bool logical = false) {
    ImageRestoreRequest request;
    request.disk = &disk;
    request.entry = &At(logical ? disk.logical : disk.primary, start);
    request.logical = logical;
    request.path = path;
    request.threads = threads;
    request.mounts = {dir.File("no-sys"), dir.File("no-mountinfo")};
    return request;
  }

  // A sysfs and mount table in which the image file backs loop0 (at offset bytes) and
  // loop0p1, sectors [start, start + size) of the loop device, is mounted on "/mnt/alte daten".
  MountSources FakeLoopMount(std::uint64_t offset, std::uint64_t start, std::uint64_t size) {
    return test::FakeLoopMount(dir.path(), image->path(), offset, start, size);
  }

  std::size_t FilesInDir() const { return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {})); }

  TempDir dir;
  ScriptedPrompt prompt;
  std::optional<ImageBuilder> image;
  NullProgress progress;
  StopFlag stop;
};

}  // namespace korvex::test
