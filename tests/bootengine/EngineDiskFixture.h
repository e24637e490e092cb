#pragma once
// Disk images that carry the boot engine with a chosen menu, for the tests of the menu,
// password and direct-boot operations: the templates are copied into the images and the
// partitions put into their states by hand, then the disk is saved and read back, so each test
// starts from what a program start would read.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "EngineLayout.h"
#include "bootengine/Templates.h"
#include "demo/ImageBuilder.h"
#include "partition/DiskSaver.h"
#include "partition/PartitionEntry.h"
#include "partition/WorkingCopy.h"
#include "support/DiskInCopy.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex::test {

inline constexpr std::uint32_t kPartLength = 2000;
// Start of the n-th test partition; all of them lie in cylinders 2..25 of a 30/16/63 disk.
inline constexpr std::uint32_t PartStart(unsigned n) { return 2016 * (n + 1); }

// What an engine disk holds: menu entries in menu order (by their partition number n) and
// table partitions with their table entry.
struct EngineDiskSpec {
  std::vector<unsigned> menu = {};
  std::vector<std::pair<unsigned, std::uint8_t>> table = {};  // partition number, entry 0..3
  unsigned defaultPosition = 0;
};

class EngineDiskTest : public ::testing::Test {
 protected:
  // Writes an engine disk as described by spec into a new image; menu entry k gets the title
  // "Eintrag k". Returns the image's spec string.
  std::string MakeEngineDisk(const std::string& name, const EngineDiskSpec& spec) {
    std::string error;
    auto image = ImageBuilder::Create(dir.File(name), 30, 16, 63, error);
    EXPECT_TRUE(image) << error;
    EXPECT_TRUE(image->SetSignature(0));
    auto disk = OpenDisk(*image, prompt);
    std::copy(kLoaderTemplate.begin(), kLoaderTemplate.end(), disk->sector0.begin());
    std::copy(kEngineTemplate.begin(), kEngineTemplate.end(), disk->engineArea.begin());
    disk->primary.Clear();
    for (std::size_t k = 0; k < spec.menu.size(); ++k) {
      auto entry = std::make_unique<CPartition>(PartStart(spec.menu[k]), kPartLength, static_cast<std::uint8_t>(k));
      entry->SetMenu();
      entry->type = 0x07;
      entry->SetTitle("Eintrag " + std::to_string(k));
      entry->isDefault = k == spec.defaultPosition;
      disk->primary.Insert(std::move(entry));
    }
    for (const auto& [n, slot] : spec.table) {
      auto part = std::make_unique<CPartition>(PartStart(n), kPartLength, slot);
      part->SetTable();
      part->type = 0x83;
      disk->primary.Insert(std::move(part));
    }
    disk->primary.SortByStart();
    disk->sector0[layout::LOADER_DEFAULT_ENTRY] = static_cast<std::uint8_t>(spec.defaultPosition);
    disk->sector0[layout::LOADER_DIRECT_BOOT] = 0;
    EXPECT_TRUE(WriteDisk(*disk, prompt)) << LastText();
    return image->Spec();
  }

  DiskInCopy Open(const std::string& spec, std::uint8_t n = 0) { return OpenDisk(spec, prompt, n); }
  // Saves disk (opened from spec) and reads it back as the next program start would.
  DiskInCopy SaveAndReopen(CHardDisk& disk, const std::string& spec) {
    EXPECT_TRUE(WriteDisk(disk, prompt)) << LastText();
    return Open(spec, disk.DeviceNumber());
  }

  // The object of the primary level that starts at start (partition number n).
  static CPartition& Part(const CHardDisk& disk, unsigned n) {
    CPartition* p = disk.primary.FindFirst([&](const CPartition& q) { return q.start == PartStart(n); });
    EXPECT_NE(p, nullptr) << "no partition " << n;
    return *p;
  }
  // Partition numbers of the menu entries in menu order.
  static std::vector<unsigned> MenuOrder(const CHardDisk& disk) {
    std::vector<unsigned> order;
    for (const CPartition* p : disk.MenuObjectsBySlot()) order.push_back(p->start / 2016 - 1);
    return order;
  }
  static std::vector<unsigned> Slots(const CHardDisk& disk) {
    std::vector<unsigned> slots;
    for (const CPartition* p : disk.MenuObjectsBySlot()) slots.push_back(p->slot);
    return slots;
  }
  static std::uint8_t DefaultByte(const CHardDisk& disk) { return disk.sector0[layout::LOADER_DEFAULT_ENTRY]; }
  static std::uint8_t CopyDefaultByte(const CHardDisk& disk) {
    return disk.engineArea[layout::AREA_MBR_COPY + layout::LOADER_DEFAULT_ENTRY];
  }
  static std::vector<unsigned> Defaults(const CHardDisk& disk) {
    std::vector<unsigned> defaults;
    for (const CPartition* p : disk.MenuObjectsBySlot()) {
      if (p->isDefault) defaults.push_back(p->start / 2016 - 1);
    }
    return defaults;
  }

  static std::vector<std::uint8_t> FileBytes(const std::string& spec) {
    const std::string path = spec.substr(0, spec.find('@'));
    std::vector<std::uint8_t> bytes(std::filesystem::file_size(path));
    std::ifstream file(path, std::ios::binary);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
  }

  std::string LastText() const { return prompt.shown.empty() ? "" : prompt.shown.back().text; }
  bool Showed(const std::string& text) const {
    const auto texts = prompt.Texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }

  TempDir dir;
  ScriptedPrompt prompt;
};

}  // namespace korvex::test
