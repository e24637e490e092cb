#pragma once
// Shared by the editing tests: a disk image to edit, the objects of a level as comparable
// values, and saving followed by reading the disk back as the next program start would.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

#include "demo/ImageBuilder.h"
#include "partition/DiskSaver.h"
#include "support/DiskInCopy.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex::test {

struct Obj {
  PartitionState state;
  std::uint32_t start;
  std::uint32_t length;
  bool operator==(const Obj&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Obj& o) {
  return os << StateName(o.state) << "(" << o.start << "+" << o.length << ")";
}

inline std::vector<Obj> Objects(const PartitionLevel& level) {
  std::vector<Obj> objects;
  for (const auto& item : level.items()) objects.push_back({item.object->state, item.object->start, item.object->length});
  return objects;
}

class EditingTest : public ::testing::Test {
 protected:
  ImageBuilder& MakeImage(std::uint32_t cylinders, std::uint32_t heads, std::uint32_t sectors = 63) {
    std::string error;
    image.emplace(*ImageBuilder::Create(dir.File("disk.img"), cylinders, heads, sectors, error));
    return *image;
  }
  DiskInCopy Open() { return OpenDisk(*image, prompt); }
  DiskInCopy SaveAndReopen(CHardDisk& disk) {
    EXPECT_TRUE(WriteDisk(disk, prompt)) << (prompt.shown.empty() ? "" : prompt.shown.back().text);
    return Open();
  }
  CPartition& At(const PartitionLevel& level, std::uint32_t start) {
    CPartition* p = level.FindFirst([&](const CPartition& q) { return q.start == start; });
    EXPECT_NE(p, nullptr) << "no object at " << start;
    return *p;
  }
  std::string LastText() const { return prompt.shown.empty() ? "" : prompt.shown.back().text; }

  TempDir dir;
  ScriptedPrompt prompt;
  std::optional<ImageBuilder> image;
};

}  // namespace korvex::test
