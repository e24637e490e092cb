#pragma once
// A small disk image laid out like the demo's first disk, for the tests of the boot engine's
// installation, self test and removal and of the backup file: four primary entries (an active
// NTFS partition, a FAT32 partition, an extended partition with two logical drives and a
// Linux partition) with marked boot sectors, and a free area at the end.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "EngineLayout.h"
#include "demo/ImageBuilder.h"
#include "partition/CHardDisk.h"
#include "partition/DiskSaver.h"
#include "partition/PartitionEntry.h"
#include "support/DiskInCopy.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex::test {

inline constexpr std::uint32_t kSpt = 63;
inline constexpr std::uint32_t kHeads = 16;
inline constexpr std::uint32_t kCylinder = kSpt * kHeads;

// The four table partitions by start.
inline constexpr std::uint32_t kNtfsStart = kSpt;
inline constexpr std::uint32_t kFatStart = 50 * kCylinder;
inline constexpr std::uint32_t kExtendedStart = 100 * kCylinder;
inline constexpr std::uint32_t kLinuxStart = 250 * kCylinder;

// Every object of both levels as (state, start, length, type, slot).
using ModelRow = std::tuple<int, std::uint32_t, std::uint32_t, int, int>;
inline std::vector<ModelRow> Model(const CHardDisk& disk) {
  std::vector<ModelRow> rows;
  for (const auto* level : {&disk.primary, &disk.logical}) {
    for (const auto& item : level->items()) {
      const CPartition& p = *item.object;
      rows.emplace_back(static_cast<int>(p.state), p.start, p.length, p.type, p.slot);
    }
  }
  return rows;
}

class EngineFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    image.emplace(*ImageBuilder::Create(dir.File("disk.img"), 400, kHeads, kSpt, error));
    ASSERT_TRUE(image->AddPrimary(0, 0x07, kNtfsStart, 50 * kCylinder - kSpt, true));
    ASSERT_TRUE(image->AddPrimary(1, 0x0C, kFatStart, 50 * kCylinder));
    ASSERT_TRUE(image->AddExtended(2, 0x0F, kExtendedStart, 150 * kCylinder,
                                   {{kExtendedStart, kExtendedStart + kSpt, 60 * kCylinder - kSpt, 0x83},
                                    {kExtendedStart + 60 * kCylinder, kExtendedStart + 60 * kCylinder + kSpt,
                                     90 * kCylinder - kSpt, 0x82}}));
    ASSERT_TRUE(image->AddPrimary(3, 0x83, kLinuxStart, 100 * kCylinder));
    for (std::uint32_t start : {kNtfsStart, kFatStart, kLinuxStart}) {
      ASSERT_TRUE(image->AddBootSector(start, "BOOT" + std::to_string(start)));
    }
  }

  DiskInCopy Open() { return OpenDisk(*image, prompt); }
  // Saves and reads the disk back as the next program start would.
  DiskInCopy SaveAndReopen(CHardDisk& disk) {
    EXPECT_TRUE(WriteDisk(disk, prompt)) << (prompt.shown.empty() ? "" : prompt.shown.back().text);
    return Open();
  }
  std::vector<std::uint8_t> Sector(std::uint32_t lba) const { return *image->ReadSector(lba); }
  PartitionEntry TableEntry(std::uint32_t lba, unsigned index) const { return ReadTableEntry(Sector(lba), index); }
  static CPartition* At(const CHardDisk& disk, std::uint32_t start) {
    return disk.primary.FindFirst([&](const CPartition& p) { return p.start == start && !p.IsFree(); });
  }
  // Texts shown since the last call, and forgets them.
  std::vector<std::string> TakeTexts() {
    auto texts = prompt.Texts();
    prompt.shown.clear();
    return texts;
  }

  TempDir dir;
  ScriptedPrompt prompt;
  std::optional<ImageBuilder> image;
};

}  // namespace korvex::test
