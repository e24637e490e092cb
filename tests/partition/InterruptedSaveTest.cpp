// The fault-injection matrix: every kind of save with its k-th sector write failing (for every
// k, as an I/O error and as a full file system), without the space it needs, and with the k-th
// read of the load failing. A failure is reported naming the sector, and the disk then reads
// back as its old layout or its new one, never as a third.
#include <gtest/gtest.h>

#include <functional>

#include "backup/BackupFile.h"
#include "bootengine/EngineInstall.h"
#include "bootengine/EngineRemoval.h"
#include "bootengine/LoaderRecognition.h"
#include "bootengine/MenuConfig.h"
#include "bootengine/SelfTest.h"
#include "demo/ImageBuilder.h"
#include "partition/DiskSaver.h"
#include "partition/PartitionEditing.h"
#include "partition/PartitionEntry.h"
#include "platform/OsIdentity.h"
#include "platform/StringFormat.h"
#include "support/DiskInCopy.h"
#include "support/FaultyTransport.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

// 20 cylinders of 16 × 63: P1 (active) and P2 primary, an extended partition with two logical
// drives and a free area between them, free primary space in front of and behind it.
constexpr std::uint32_t kCylinder = 16 * 63;
constexpr std::uint32_t kP1 = 63, kP2 = 3 * kCylinder, kExt = 6 * kCylinder, kL2 = 9 * kCylinder;

void PlainLayout(ImageBuilder& image) {
  ASSERT_TRUE(image.AddPrimary(0, 0x07, kP1, 3 * kCylinder - kP1, true));
  ASSERT_TRUE(image.AddPrimary(1, 0x83, kP2, 2 * kCylinder));
  ASSERT_TRUE(image.AddExtended(2, 0x05, kExt, 8 * kCylinder,
                                {{kExt, kExt + 63, 2 * kCylinder - 63, 0x06}, {kL2, kL2 + 63, 2 * kCylinder - 63, 0x82}}));
}

// One object of a layout as the next program start reads it. Titles and passwords are not part
// of it: they live in other sectors than the menu table, and an interrupted save of a reordered
// menu can pair the new order with the old titles.
struct Item {
  bool logical;
  PartitionState state;
  std::uint32_t start, length, dataOffset;
  std::uint8_t type, slot;
  bool isDefault;
  bool operator==(const Item&) const = default;
};

struct Layout {
  bool engine = false;
  std::vector<Item> items;
  bool operator==(const Layout&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Layout& layout) {
  os << (layout.engine ? "engine" : "plain");
  for (const Item& i : layout.items) {
    os << " " << (i.logical ? "L" : "P") << StateName(i.state) << "(" << i.start << "+" << i.length << " t" << int{i.type}
       << " s" << int{i.slot} << (i.isDefault ? " def" : "") << ")";
  }
  return os;
}

Layout LayoutOf(const CHardDisk& disk) {
  Layout layout{disk.EngineInstalled(), {}};
  for (const PartitionLevel* level : {&disk.primary, &disk.logical}) {
    for (const CPartition* p : level->Used()) {
      layout.items.push_back({level == &disk.logical, p->state, p->start, p->length, p->dataOffset, p->type,
                              p->slot, p->isDefault});
    }
  }
  return layout;
}

// The object of the level that starts at start.
std::optional<ObjectRef> At(const test::DiskInCopy& disk, LevelKind level, std::uint32_t start) {
  return FindObjectAt(disk.copy(), disk->DeviceNumber(), level, start);
}

// What a scenario needs besides the disk: its folder (for backup files) and the prompt.
struct Context {
  const test::TempDir& dir;
  test::ScriptedPrompt& prompt;
};

struct Scenario {
  const char* name;
  std::function<void(ImageBuilder&, Context&)> build;       // lays out the old disk
  std::function<bool(test::DiskInCopy&, Context&)> change;  // the edit whose save is interrupted
};

// A failure names the scenario, not its bytes.
void PrintTo(const Scenario& scenario, std::ostream* os) { *os << scenario.name; }

test::DiskInCopy OpenWith(const std::string& spec, CPrompt& prompt, test::FaultyTransport*& faulty) {
  std::string error;
  auto transport = std::make_unique<test::FaultyTransport>(OpenFileDevice(*ParseDeviceSpec(spec, error)));
  faulty = transport.get();
  return test::DiskInCopy(std::make_unique<CHardDisk>(0, std::move(transport), OsVersion{}, HoldsOurLoader, prompt), prompt);
}

// The plain layout with the engine installed over P1 and P2 (the extended partition stays in
// the table); the backup file of the plain disk is "plain.save".
void EngineLayout(ImageBuilder& image, Context& context) {
  PlainLayout(image);
  auto disk = test::OpenDisk(image, context.prompt);
  ASSERT_TRUE(InstallEngine(*disk, {0, 1}, context.dir.File("plain.save"), context.prompt));
  ASSERT_TRUE(WriteDisk(*disk, context.prompt));
}

CreateRequest Request(std::uint8_t type) {
  CreateRequest request;
  request.type = type;
  return request;
}

const Scenario kScenarios[] = {
    {"CreatePrimary", [](ImageBuilder& i, Context&) { PlainLayout(i); },
     [](test::DiskInCopy& d, Context& c) {
       const auto area = At(d, LevelKind::Primary, 5 * kCylinder);
       return area && CreatePartition(d.copy(), *area, Request(0x0C), c.prompt);
     }},
    {"CreateLogical", [](ImageBuilder& i, Context&) { PlainLayout(i); },
     [](test::DiskInCopy& d, Context& c) {
       const auto area = At(d, LevelKind::Logical, 8 * kCylinder);
       return area && CreatePartition(d.copy(), *area, Request(0x0B), c.prompt);
     }},
    {"DeleteLogical", [](ImageBuilder& i, Context&) { PlainLayout(i); },
     [](test::DiskInCopy& d, Context& c) {
       const auto drive = At(d, LevelKind::Logical, kExt);
       return drive && DeletePartition(d.copy(), *drive, c.prompt);
     }},
    {"DeletePrimary", [](ImageBuilder& i, Context&) { PlainLayout(i); },
     [](test::DiskInCopy& d, Context& c) {
       const auto p = At(d, LevelKind::Primary, kP2);
       return p && DeletePartition(d.copy(), *p, c.prompt);
     }},
    {"Activate", [](ImageBuilder& i, Context&) { PlainLayout(i); },
     [](test::DiskInCopy& d, Context& c) {  // the active mark moves from P1 to P2
       const auto p1 = At(d, LevelKind::Primary, kP1);
       const auto p2 = At(d, LevelKind::Primary, kP2);
       return p1 && p2 && DeactivatePartition(d.copy(), *p1, c.prompt) && ActivatePartition(d.copy(), *p2, c.prompt);
     }},
    {"Install", [](ImageBuilder& i, Context&) { PlainLayout(i); },
     [](test::DiskInCopy& d, Context& c) {
       return InstallEngine(*d, {0, 1}, "", c.prompt);
     }},
    {"RemoveEmpty", EngineLayout,
     [](test::DiskInCopy& d, Context& c) {
       return RemoveEngine(*d, {RemovalMode::EmptyMbr, "", {}}, c.prompt);
     }},
    {"RemoveFromBackup", EngineLayout,
     [](test::DiskInCopy& d, Context& c) {
       return RemoveEngine(*d, {RemovalMode::FromBackup, c.dir.File("plain.save"), {}}, c.prompt);
     }},
    {"RemoveKeeping", EngineLayout,
     [](test::DiskInCopy& d, Context& c) {
       return RemoveEngine(*d, {RemovalMode::KeepPartitions, "", {1}}, c.prompt);
     }},
    {"SelfTestRepair",
     [](ImageBuilder& i, Context& c) {
       EngineLayout(i, c);
       auto sector = *i.ReadSector(0);
       for (std::size_t b = 0x20; b < 0x24; ++b) sector[b] ^= 0xFF;  // four loader bytes
       sector[kPartitionTableOffset + 2 * kEntrySize + 12] ^= 1;       // and a table entry
       ASSERT_TRUE(i.WriteSector(0, sector));
     },
     [](test::DiskInCopy& d, Context&) { return SelfTest(*d, false).errors == 5; }},
    {"BackupImport",
     [](ImageBuilder& i, Context& c) {
       std::string error;
       auto other = ImageBuilder::Create(c.dir.File("other.img"), 20, 16, 63, error);
       ASSERT_TRUE(other && other->AddPrimary(0, 0x07, kP1, 3 * kCylinder - kP1));
       ASSERT_TRUE(ExportBackup(*test::OpenDisk(*other, c.prompt), c.dir.File("other.save"), c.prompt));
       PlainLayout(i);
     },
     [](test::DiskInCopy& d, Context& c) { return ImportBackup(*d, c.dir.File("other.save"), c.prompt); }},
    {"MenuTitle", EngineLayout,
     [](test::DiskInCopy& d, Context& c) {
       const auto p = At(d, LevelKind::Primary, kP2);
       return p && SetMenuTitle(d.copy(), *p, "Linux", c.prompt);
     }},
    {"MenuMove", EngineLayout,
     [](test::DiskInCopy& d, Context& c) {
       const auto p = At(d, LevelKind::Primary, kP2);
       return p && MoveMenuEntry(d.copy(), *p, 0, c.prompt);
     }},
    {"MenuDefaultAndTimeout", EngineLayout,
     [](test::DiskInCopy& d, Context& c) {
       const auto p = At(d, LevelKind::Primary, kP2);
       return p && SetDefaultPartition(d.copy(), *p, c.prompt) && SetTimeout(*d, 5, c.prompt);
     }},
};

class InterruptedSaveTest : public ::testing::TestWithParam<Scenario> {
 protected:
  // A fresh folder with the scenario's old disk; its spec.
  std::string Build(test::TempDir& dir) {
    std::string error;
    auto image = ImageBuilder::Create(dir.File("disk.img"), 20, 16, 63, error);
    EXPECT_TRUE(image) << error;
    Context context{dir, Yes()};
    GetParam().build(*image, context);
    return image->Spec();
  }
  test::ScriptedPrompt& Yes() {
    prompt.shown.clear();
    prompt.answers.assign(8, PromptAnswer::Yes);
    return prompt;
  }
  Layout Reread(const std::string& spec) {
    test::ScriptedPrompt quiet;
    return LayoutOf(*test::OpenDisk(spec, quiet));
  }
  std::vector<std::vector<std::uint8_t>> Sectors(const std::string& spec, const std::vector<std::uint64_t>& lbas) {
    std::string error;
    auto device = OpenFileDevice(*ParseDeviceSpec(spec, error));
    std::vector<std::vector<std::uint8_t>> sectors;
    for (const auto lba : lbas) {
      sectors.emplace_back(512);
      device->Read(lba * 512, sectors.back());
    }
    return sectors;
  }

  test::ScriptedPrompt prompt;
};

TEST_P(InterruptedSaveTest, AFailureIsReportedAndLeavesTheOldOrTheNewLayout) {
  // The save without faults: the new layout, the order of its writes, the reads of the load.
  test::TempDir cleanDir;
  const std::string cleanSpec = Build(cleanDir);
  const Layout before = Reread(cleanSpec);
  test::FaultyTransport* faulty = nullptr;
  auto disk = OpenWith(cleanSpec, Yes(), faulty);
  const int reads = faulty->readsDone;
  Context cleanContext{cleanDir, prompt};
  ASSERT_TRUE(GetParam().change(disk, cleanContext)) << prompt.Texts().back();
  ASSERT_TRUE(WriteDisk(*disk, prompt)) << prompt.Texts().back();
  const std::vector<std::uint64_t> order = faulty->writtenSectors;
  const Layout after = Reread(cleanSpec);
  ASSERT_FALSE(order.empty());

  int runs = 0;
  for (const bool shortWrites : {false, true}) {
    for (std::size_t k = 0; k < order.size(); ++k, ++runs) {
      SCOPED_TRACE(testing::Message() << (shortWrites ? "ENOSPC" : "EIO") << " at write " << k);
      test::TempDir dir;
      const std::string spec = Build(dir);
      auto faultyDisk = OpenWith(spec, Yes(), faulty);
      Context context{dir, prompt};
      ASSERT_TRUE(GetParam().change(faultyDisk, context));
      faulty->writesBeforeFailure = static_cast<int>(k);
      faulty->shortWrites = shortWrites;
      EXPECT_FALSE(WriteDisk(*faultyDisk, prompt));
      EXPECT_TRUE(faultyDisk->IsModified());
      const std::string report = prompt.shown.back().text;
      EXPECT_NE(report.find(StrFormat("bei Sektor %u:", static_cast<unsigned>(order[k]))), std::string::npos) << report;
      if (k > 0) {
        EXPECT_NE(report.find(StrFormat(" %u.", static_cast<unsigned>(order[k - 1]))), std::string::npos) << report;
      }
      const Layout reread = Reread(spec);
      EXPECT_TRUE(reread == before || reread == after) << "old: " << before << "\nnew: " << after << "\ngot: " << reread;
    }
  }

  {  // No space for the writes: refused before the first one.
    test::TempDir dir;
    const std::string spec = Build(dir);
    auto faultyDisk = OpenWith(spec, Yes(), faulty);
    Context context{dir, prompt};
    ASSERT_TRUE(GetParam().change(faultyDisk, context));
    faulty->reserveFails = true;
    EXPECT_FALSE(WriteDisk(*faultyDisk, prompt));
    EXPECT_TRUE(faulty->writtenSectors.empty());
    EXPECT_EQ(Reread(spec), before);
    ++runs;
  }

  for (int k = 0; k < reads; ++k, ++runs) {
    SCOPED_TRACE(testing::Message() << "read " << k << " of " << reads);
    test::TempDir dir;
    const std::string spec = Build(dir);
    const auto untouched = Sectors(spec, order);
    test::ScriptedPrompt& answers = Yes();
    std::string error;
    auto transport = std::make_unique<test::FaultyTransport>(OpenFileDevice(*ParseDeviceSpec(spec, error)));
    transport->readsBeforeFailure = k;
    test::DiskInCopy unread(std::make_unique<CHardDisk>(0, std::move(transport), OsVersion{}, HoldsOurLoader, answers), answers);
    ASSERT_FALSE(answers.shown.empty());
    EXPECT_NE(answers.shown.front().text.find("Lesefehler auf PHYSICALDRIVE0"), std::string::npos)
        << answers.shown.front().text;
    Context context{dir, answers};
    GetParam().change(unread, context);  // may be refused on what could not be read
    unread->MarkModified();
    EXPECT_FALSE(WriteDisk(*unread, answers));
    EXPECT_EQ(Sectors(spec, order), untouched);
  }
  RecordProperty("runs", runs);
}

INSTANTIATE_TEST_SUITE_P(EverySave, InterruptedSaveTest, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvex
