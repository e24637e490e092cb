// Saving the working copy: what each sector holds afterwards, what is refused before anything
// is written, and what a failing disk leaves behind.
#include <gtest/gtest.h>

#include <algorithm>

#include "EngineLayout.h"
#include "bootengine/LoaderRecognition.h"
#include "bootengine/Templates.h"
#include "demo/ImageBuilder.h"
#include "partition/DiskSaver.h"
#include "partition/PartitionEntry.h"
#include "partition/TableReader.h"
#include "partition/TableWriter.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "platform/TransferErrors.h"
#include "support/DiskInCopy.h"
#include "support/FakeRestart.h"
#include "support/FaultyTransport.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

using test::ScriptedPrompt;

constexpr std::uint32_t kSpt = 63;

class TableWriterTest : public ::testing::Test {
 protected:
  ImageBuilder& MakeImage(std::uint32_t cylinders = 2000, std::uint32_t heads = 16) {
    std::string error;
    image.emplace(*ImageBuilder::Create(dir.File("disk.img"), cylinders, heads, kSpt, error));
    return *image;
  }
  test::DiskInCopy Open() { return test::OpenDisk(*image, prompt); }
  // The image as a disk read through a transport that fails chosen writes; faulty points at it.
  std::unique_ptr<CHardDisk> OpenFaulty(test::FaultyTransport*& faulty) {
    std::string error;
    auto transport = std::make_unique<test::FaultyTransport>(OpenFileDevice(*ParseDeviceSpec(image->Spec(), error)));
    faulty = transport.get();
    return std::make_unique<CHardDisk>(0, std::move(transport), OsVersion{}, HoldsOurLoader, prompt);
  }
  // Saves and reads the disk back as the next program start would.
  test::DiskInCopy SaveAndReopen(CHardDisk& disk) {
    EXPECT_TRUE(WriteDisk(disk, prompt)) << (prompt.shown.empty() ? "" : prompt.shown.back().text);
    return Open();
  }
  PartitionEntry Entry(std::uint32_t lba, unsigned index) { return ReadTableEntry(*image->ReadSector(lba), index); }
  // Puts the engine's templates into the images and the given partitions into the menu.
  void InstallByHand(CHardDisk& disk, std::initializer_list<std::uint32_t> menuStarts) {
    std::copy(kLoaderTemplate.begin(), kLoaderTemplate.end(), disk.sector0.begin());
    std::copy(kEngineTemplate.begin(), kEngineTemplate.end(), disk.engineArea.begin());
    disk.sector0[layout::LOADER_DEFAULT_ENTRY] = 0;
    disk.sector0[layout::LOADER_DIRECT_BOOT] = 0;
    std::uint8_t position = 0;
    for (std::uint32_t start : menuStarts) {
      CPartition* p = disk.primary.FindFirst([&](const CPartition& q) { return q.start == start; });
      ASSERT_NE(p, nullptr);
      p->SetMenu();
      p->slot = position++;
      p->SetTitle("Eintrag " + std::to_string(position));
    }
    disk.MarkModified();
  }

  test::TempDir dir;
  ScriptedPrompt prompt;
  std::optional<ImageBuilder> image;
};

// --- round trips: what was read is written back so that it reads the same

std::vector<std::tuple<int, std::uint32_t, std::uint32_t, std::uint32_t, int>> Model(const CHardDisk& disk) {
  std::vector<std::tuple<int, std::uint32_t, std::uint32_t, std::uint32_t, int>> model;
  for (const auto* level : {&disk.primary, &disk.logical}) {
    for (const auto& item : level->items()) {
      const CPartition& p = *item.object;
      model.emplace_back(static_cast<int>(p.state), p.start, p.length, p.dataOffset, p.type);
    }
  }
  return model;
}

TEST_F(TableWriterTest, RoundTripKeepsEveryPartitionAndEveryLogicalDrivesDataInPlace) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddPrimary(0, 0x07, 2048, 100000, true));
  ASSERT_TRUE(img.AddPrimary(3, 0x83, 700000, 50000));
  // Drives placed the way other tools place them: a gap before the first, data 1 MiB and one
  // track after their records.
  ASSERT_TRUE(img.AddExtended(1, 0x0F, 200000, 400000,
                              {{210000, 212048, 30000, 0x83}, {260000, 260063, 20000, 0x82}, {300000, 302048, 5000, 0x07}}));
  auto disk = Open();
  const auto before = Model(*disk);
  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(Model(*reread), before);
  EXPECT_TRUE(prompt.shown.empty());
  // The free area before the first drive keeps a record at the extended start that only links on.
  EXPECT_EQ(Entry(200000, 0).type, 0);
  EXPECT_EQ(Entry(200000, 1).relativeStart, 10000u);
  EXPECT_EQ(Entry(210000, 0).relativeStart, 2048u);
}

TEST_F(TableWriterTest, ThreeDrivesGiveThreeRecordsWithType5LinksFromTheExtendedStart) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddExtended(0, 0x0F, 1008, 100000,
                              {{1008, 1071, 1000, 0x06}, {5000, 5063, 1000, 0x06}, {9000, 9063, 1000, 0x06}}));
  auto disk = Open();
  ASSERT_TRUE(WriteDisk(*disk, prompt));
  EXPECT_EQ(Entry(1008, 1).type, kTypeExtended);  // type 5 although the extended partition is 15
  EXPECT_EQ(Entry(1008, 1).relativeStart, 5000u - 1008u);
  EXPECT_EQ(Entry(1008, 1).length, 1063u);
  EXPECT_EQ(Entry(5000, 1).relativeStart, 9000u - 1008u);
  EXPECT_EQ(Entry(9000, 1), PartitionEntry{});
  EXPECT_EQ(Entry(9000, 0).relativeStart, kSpt);
  EXPECT_EQ(Entry(9000, 0).length, 1000u);
}

TEST_F(TableWriterTest, TableEntriesClampCylindersAbove1023ButMenuEntriesKeepTenBits) {
  auto& img = MakeImage(2000);
  const std::uint32_t start = 1500 * 16 * kSpt;  // cylinder 1500
  ASSERT_TRUE(img.AddPrimary(0, 0x83, 63, 1000));
  ASSERT_TRUE(img.AddPrimary(2, 0x07, start, 16 * kSpt));
  auto disk = Open();
  ASSERT_TRUE(WriteDisk(*disk, prompt));
  const PartitionEntry table = Entry(0, 2);
  EXPECT_EQ(table.startCylinder, 0xFF);  // 1023
  EXPECT_EQ(table.startSector, 0xC1);    // sector 1, cylinder bits 8-9 = 3
  EXPECT_EQ(table.endHead, 15);
  EXPECT_EQ(table.endSector, 0xC0 | 63);

  InstallByHand(*disk, {start, 63});
  ASSERT_TRUE(WriteDisk(*disk, prompt));
  const auto sector0 = *image->ReadSector(0);
  const PartitionEntry menu = DecodeEntry(std::span(sector0).subspan(layout::LOADER_MENU_TABLE, 16));
  EXPECT_EQ(menu.bootIndicator, 0x80);
  EXPECT_EQ(menu.startCylinder, 1500 & 0xFF);          // 0xDC
  EXPECT_EQ(menu.startSector, 1 | ((1500 >> 2) & 0xC0));  // bits 8-9 of 1500 = 1 → 0x41
}

TEST_F(TableWriterTest, WithTheEngineSlot1GoesToEntry2AndTheBootSlotHoldsMenuEntry0) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddPrimary(0, 0x07, 63, 10000));
  ASSERT_TRUE(img.AddPrimary(1, 0x83, 20000, 10000));
  ASSERT_TRUE(img.AddPrimary(3, 0x0B, 40000, 10000));
  auto disk = Open();
  InstallByHand(*disk, {40000});  // the partition of entry 3 goes into the menu
  auto reread = SaveAndReopen(*disk);
  const auto sector0 = *image->ReadSector(0);
  const auto mbrCopy = *image->ReadSector(1 + layout::AREA_MBR_COPY / 512);
  EXPECT_EQ(ReadTableEntry(sector0, 2).relativeStart, 20000u);
  EXPECT_EQ(ReadTableEntry(sector0, 0).relativeStart, 63u);
  const PartitionEntry menu0 = DecodeEntry(std::span(sector0).subspan(layout::LOADER_MENU_TABLE, 16));
  EXPECT_EQ(ReadTableEntry(sector0, 1), menu0);
  EXPECT_EQ(ReadTableEntry(mbrCopy, 1), menu0);
  EXPECT_EQ(menu0.relativeStart, 40000u);
  EXPECT_TRUE(std::equal(sector0.begin(), sector0.end(), mbrCopy.begin()));
  EXPECT_EQ(reread->MenuEntryCount(), 1);
  EXPECT_EQ(reread->MenuEntriesBySlot()[0].GetTitle(), "Eintrag 1");
  // Table partitions read back from their entries; the partition of slot 1 now sits in entry 2.
  EXPECT_EQ(reread->primary.FindFirst([](const CPartition& p) { return p.start == 20000; })->slot, 2);
}

TEST_F(TableWriterTest, MenuScreenLinesEndWithTheBottomBorderAndAZeroLine) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddPrimary(0, 0x07, 63, 10000));
  ASSERT_TRUE(img.AddPrimary(2, 0x83, 20000, 10000));
  auto disk = Open();
  InstallByHand(*disk, {63, 20000});
  disk->primary.FindFirst([](const CPartition& p) { return p.start == 20000; })->SetTitle(std::string(40, 'T'));
  ASSERT_TRUE(WriteDisk(*disk, prompt));
  const auto line = [&](unsigned i) { return disk->engineArea.data() + layout::AREA_SCREEN_LINES + i * 48; };
  EXPECT_EQ(line(6)[0], 0xBA);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(line(6) + 3), 40), std::string(40, 'T'));
  EXPECT_EQ(line(6)[43], ' ');
  EXPECT_EQ(line(6)[46], 0xBA);
  EXPECT_EQ(line(6)[47], 0);
  EXPECT_EQ(line(7)[0], 0xC8);
  EXPECT_EQ(line(7)[45], 0xCD);
  EXPECT_EQ(line(7)[46], 0xBC);
  EXPECT_EQ(line(8)[0], 0);
}

TEST_F(TableWriterTest, TwelveMenuEntriesPutTheBottomBorderOnLine17AndEndTheScreenAt363h) {
  MakeImage();
  auto disk = Open();
  InstallByHand(*disk, {});
  for (std::uint8_t i = 0; i < 12; ++i) {
    auto p = std::make_unique<CPartition>(10000u + i * 1000u, 1000, i);
    p->SetMenu();
    p->type = 0x83;
    disk->primary.Insert(std::move(p));
  }
  disk->engineArea[layout::AREA_SCREEN_END] = 0x55;
  ASSERT_TRUE(WriteDisk(*disk, prompt));
  EXPECT_EQ(disk->engineArea[layout::AREA_SCREEN_LINES + 17 * 48], 0xC8);
  EXPECT_EQ(disk->engineArea[layout::AREA_SCREEN_END], 0);
  EXPECT_EQ(Open()->MenuEntryCount(), 12);
}

TEST_F(TableWriterTest, PasswordSlotsHoldTheStoredBytesAndFollowTheirEntry) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddPrimary(0, 0x07, 63, 10000));
  ASSERT_TRUE(img.AddPrimary(2, 0x83, 20000, 10000));
  auto disk = Open();
  InstallByHand(*disk, {63, 20000});
  CPartition* linux = disk->primary.FindFirst([](const CPartition& p) { return p.start == 20000; });
  for (std::uint8_t i = 0; i < 15; ++i) linux->passwordSlot[i] = static_cast<std::uint8_t>(0xA0 + i);
  linux->passwordSet = true;
  auto reread = SaveAndReopen(*disk);
  const std::uint8_t* slot1 = disk->engineArea.data() + layout::AREA_PASSWORDS + 16;
  for (int i = 0; i < 15; ++i) EXPECT_EQ(slot1[i], 0xA0 + i) << i;
  EXPECT_EQ(slot1[15], 0);

  // Swap the menu order in the re-read copy: the stored password moves to position 0.
  CPartition* rereadLinux = reread->primary.FindFirst([](const CPartition& p) { return p.start == 20000; });
  CPartition* rereadWindows = reread->primary.FindFirst([](const CPartition& p) { return p.start == 63; });
  EXPECT_TRUE(rereadLinux->passwordSet);
  EXPECT_EQ(rereadLinux->passwordSlot, linux->passwordSlot);
  std::swap(rereadLinux->slot, rereadWindows->slot);
  auto third = SaveAndReopen(*reread);
  const auto menu = third->MenuEntriesBySlot();
  EXPECT_EQ(menu[0].start, 20000u);
  EXPECT_TRUE(menu[0].passwordSet);
  EXPECT_FALSE(menu[1].passwordSet);
}

TEST_F(TableWriterTest, NewMenuPartitionOnADiskWithoutEngineIsInNoTable) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddPrimary(0, 0x07, 63, 10000));
  auto disk = Open();
  auto p = std::make_unique<CPartition>(20000, 5000, kSlotUnplacedMenu);
  p->MarkNew(PartitionState::NewMenu);
  p->type = 0x83;
  disk->primary.Insert(std::move(p));
  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(reread->primary.Used().size(), 1u);
  for (unsigned i = 1; i < 4; ++i) EXPECT_EQ(Entry(0, i), PartitionEntry{});
}

// --- new partitions: the zeroing of their first sectors happens once

TEST_F(TableWriterTest, NewDestructivePartitionIsZeroedOnceAndNeverOutsideItself) {
  auto& img = MakeImage();
  const std::vector<std::uint8_t> data(512, 0xDA);
  for (std::uint32_t lba : {20000u, 20063u, 30000u, 30040u, 30063u}) ASSERT_TRUE(img.WriteSector(lba, data));
  auto disk = Open();
  for (auto [start, length] : {std::pair{20000u, 5000u}, std::pair{30000u, 40u}}) {
    auto p = std::make_unique<CPartition>(start, length, start == 20000 ? 0 : 1);
    p->MarkNew(PartitionState::NewTable);
    p->type = 0x07;
    p->destructive = true;
    disk->primary.Insert(std::move(p));
  }
  disk->primary.SortByStart();
  ASSERT_TRUE(WriteDisk(*disk, prompt));
  EXPECT_EQ((*img.ReadSector(20000))[0], 0);
  EXPECT_EQ((*img.ReadSector(20063))[0], 0);
  EXPECT_EQ((*img.ReadSector(30000))[0], 0);
  // A partition shorter than a track: the sector one track later is not its own.
  EXPECT_EQ((*img.ReadSector(30063))[0], 0xDA);

  // Data written into the new partition after the first save survives a second save.
  ASSERT_TRUE(img.WriteSector(20000, data));
  disk->MarkModified();
  ASSERT_TRUE(WriteDisk(*disk, prompt));
  EXPECT_EQ((*img.ReadSector(20000))[0], 0xDA);
}

TEST_F(TableWriterTest, NewDestructiveExtendedPartitionGetsAnEmptyRecordAndIsNotZeroedElsewhere) {
  auto& img = MakeImage();
  const std::vector<std::uint8_t> data(512, 0xDA);
  ASSERT_TRUE(img.WriteSector(50000, data));
  ASSERT_TRUE(img.WriteSector(50063, data));
  auto disk = Open();
  auto ext = std::make_unique<CPartition>(50000, 20000, 0);
  ext->MarkNew(PartitionState::NewTable);
  ext->type = 0x05;
  ext->destructive = true;
  ext->holdsLogicalDrives = true;
  auto whole = std::make_unique<CPartition>(50000, 20000, kSlotNone);
  whole->SetFree();
  disk->primary.Insert(std::move(ext));
  disk->logical.Insert(std::move(whole));
  auto reread = SaveAndReopen(*disk);
  const auto record = *img.ReadSector(50000);
  EXPECT_TRUE(std::all_of(record.begin(), record.begin() + 510, [](std::uint8_t b) { return b == 0; }));
  EXPECT_TRUE(HasBootSignature(record));
  EXPECT_EQ((*img.ReadSector(50063))[0], 0xDA);
  EXPECT_EQ(reread->logical.size(), 1u);
  EXPECT_TRUE(reread->logical.items()[0].object->IsFree());
}

TEST_F(TableWriterTest, DeletingEveryLogicalDriveCutsTheChainSoTheyDoNotComeBack) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddExtended(0, 0x05, 1008, 100000, {{1008, 1071, 1000, 0x06}, {5000, 5063, 1000, 0x83}}));
  auto disk = Open();
  for (const auto& item : disk->logical.items()) item.object->SetFree();
  auto reread = SaveAndReopen(*disk);
  EXPECT_TRUE(reread->logical.Used().empty());
}

// --- refusals before anything is written

TEST_F(TableWriterTest, RefusalsLeaveTheDiskUntouchedAndModified) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddPrimary(0, 0x07, 63, 10000));
  ASSERT_TRUE(img.AddPrimary(1, 0x83, 20000, 10000));
  const auto original = *img.ReadSector(0);

  auto collide = Open();
  collide->primary.FindFirst([](const CPartition& p) { return p.start == 20000; })->slot = 0;
  collide->MarkModified();
  EXPECT_FALSE(WriteDisk(*collide, prompt));
  EXPECT_NE(prompt.shown.back().text.find("denselben Eintrag 1"), std::string::npos);
  EXPECT_TRUE(collide->IsModified());

  auto outside = Open();
  outside->primary.FindFirst([](const CPartition& p) { return p.start == 20000; })->slot = 4;
  EXPECT_FALSE(WriteDisk(*outside, prompt));

  auto gpt = Open();
  gpt->gpt = true;
  EXPECT_FALSE(WriteDisk(*gpt, prompt));
  EXPECT_NE(prompt.shown.back().text.find("GPT"), std::string::npos);
  EXPECT_EQ(*img.ReadSector(0), original);
}

TEST_F(TableWriterTest, PartitionsSharingASectorAreNeverWritten) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddPrimary(0, 0x07, 63, 10000));
  ASSERT_TRUE(img.AddPrimary(1, 0x83, 20000, 10000));
  ASSERT_TRUE(img.AddExtended(2, 0x05, 40000, 20000, {{40000, 40063, 5000}, {46000, 46063, 5000}}));
  const auto sector0 = *img.ReadSector(0);
  const auto firstRecord = *img.ReadSector(40000);
  const std::string overlap = StrFormat(text::kOverlapRefused, "PHYSICALDRIVE0", 63u, 20000u);
  // The first partition reaches one sector into the second, or swallows it whole.
  for (const std::uint32_t length : {20000u - 63 + 1, 35000u - 63}) {
    auto disk = Open();
    disk->primary.FindFirst([](const CPartition& p) { return p.start == 63; })->length = length;
    disk->MarkModified();
    EXPECT_FALSE(WriteDisk(*disk, prompt));
    EXPECT_EQ(prompt.shown.back().text, overlap);
    EXPECT_TRUE(disk->IsModified());
  }
  // Two logical drives of the chain.
  auto drives = Open();
  drives->logical.Used()[0]->length = 6001;
  drives->MarkModified();
  EXPECT_FALSE(WriteDisk(*drives, prompt));
  EXPECT_EQ(prompt.shown.back().text, StrFormat(text::kOverlapRefused, "PHYSICALDRIVE0", 40000u, 46000u));
  EXPECT_EQ(*img.ReadSector(0), sector0);
  EXPECT_EQ(*img.ReadSector(40000), firstRecord);
  // The extended partition holding its drives is no overlap.
  drives->logical.Used()[0]->length = 5063;
  EXPECT_TRUE(WriteDisk(*drives, prompt)) << prompt.shown.back().text;
}

TEST_F(TableWriterTest, AChainThatWasNotReadWholeOrWouldBeTooLongIsNeverWritten) {
  auto& img = MakeImage();
  auto drives = test::ChainOfDrives(10000, 28, 1000, 900);
  ASSERT_TRUE(img.AddExtended(0, 0x05, 10000, 40000, drives));
  const auto firstRecord = *img.ReadSector(10000);
  auto broken = Open();
  EXPECT_TRUE(broken->logicalChainBroken);
  broken->MarkModified();
  EXPECT_FALSE(WriteDisk(*broken, prompt));
  EXPECT_EQ(prompt.shown.back().text, StrFormat(text::kChainBrokenRefused, "PHYSICALDRIVE0"));
  EXPECT_EQ(*img.ReadSector(10000), firstRecord);

  // 27 records are read whole; the first drive moved off the extended start would need a lead
  // record there, a 28th.
  drives.pop_back();
  ASSERT_TRUE(img.AddExtended(0, 0x05, 10000, 40000, drives));
  auto full = Open();
  ASSERT_FALSE(full->logicalChainBroken);
  CPartition& first = *full->logical.Used()[0];
  first.start += 10;
  first.length -= 10;
  first.dataOffset -= 10;
  full->MarkModified();
  EXPECT_FALSE(WriteDisk(*full, prompt));
  EXPECT_EQ(prompt.shown.back().text,
            StrFormat(text::kChainTooLongRefused, "PHYSICALDRIVE0", std::size_t{28}, kMaxChainRecords));
  EXPECT_EQ(*img.ReadSector(10010), std::vector<std::uint8_t>(512, 0));
}

TEST_F(TableWriterTest, ChangedGeometryIsRefusedWith33490) {
  auto& img = MakeImage(100);
  auto disk = Open();
  std::filesystem::resize_file(img.path(), std::filesystem::file_size(img.path()) * 2);
  EXPECT_FALSE(WriteDisk(*disk, prompt));
  EXPECT_EQ(prompt.shown.back().text.rfind("Die Festplatte 0 dieses PC´s", 0), 0u);
  EXPECT_EQ((*img.ReadSector(0))[510], 0);
}

// --- a disk that fails while it is written

TEST_F(TableWriterTest, FailedWriteIsReportedWithDiskAndSectorAndTheDiskStaysModified) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddExtended(0, 0x05, 1008, 100000, {{1008, 1071, 1000, 0x06}, {5000, 5063, 1000, 0x83}}));
  test::FaultyTransport* faulty = nullptr;
  auto disk = OpenFaulty(faulty);
  faulty->writesBeforeFailure = 1;  // the second sector write fails
  disk->MarkModified();
  EXPECT_FALSE(WriteDisk(*disk, prompt));
  EXPECT_TRUE(disk->IsModified());
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_NE(prompt.shown.back().text.find("PHYSICALDRIVE0"), std::string::npos);
  // The chain is written from its last record to its first: the record at 5000 went first.
  EXPECT_NE(prompt.shown.back().text.find("Sektor 1008"), std::string::npos);
  EXPECT_NE(prompt.shown.back().text.find("Geschrieben wurden vorher die Sektoren 5000."), std::string::npos);
  EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);
}

// A write whose helper did not answer may have reached the disk: the report says so and never
// claims that nothing was written.
TEST_F(TableWriterTest, AWriteWhoseEndIsUnknownIsReportedAsUncertain) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddExtended(0, 0x05, 1008, 100000, {{1008, 1071, 1000, 0x06}}));
  test::FaultyTransport* faulty = nullptr;
  auto disk = OpenFaulty(faulty);
  faulty->writesBeforeFailure = 0;
  faulty->writeError = kErrorHelperNoAnswerWrite;
  disk->MarkModified();
  EXPECT_FALSE(WriteDisk(*disk, prompt));
  const std::string& text = prompt.shown.back().text;
  EXPECT_NE(text.find("bei Sektor 1008: Hilfsprogramm antwortet nicht, Schreiben ungewiss.\n" +
                      StrFormat(text::kSectorMayBeWritten, 1008u)),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find(text::kNothingWritten), std::string::npos) << text;
  EXPECT_TRUE(disk->IsModified());
}

TEST_F(TableWriterTest, AMediumOpenedForReadingOnlyIsRefusedBeforeAnyWrite) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddPrimary(0, 0x07, 63, 1000));
  test::FaultyTransport* faulty = nullptr;
  auto disk = OpenFaulty(faulty);
  faulty->readOnly = true;
  disk->MarkModified();
  EXPECT_FALSE(WriteDisk(*disk, prompt));
  EXPECT_EQ(prompt.shown.back().text, StrFormat(text::kReadOnlyRefused, "PHYSICALDRIVE0", faulty->Describe().c_str()));
  EXPECT_EQ(faulty->writesDone, 0);
}

TEST_F(TableWriterTest, SectorZeroIsWrittenLast) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddExtended(0, 0x05, 1008, 100000, {{1008, 1071, 1000, 0x06}}));
  test::FaultyTransport* faulty = nullptr;
  auto disk = OpenFaulty(faulty);
  std::copy(kEngineTemplate.begin(), kEngineTemplate.end(), disk->engineArea.begin());
  ASSERT_TRUE(WriteDisk(*disk, prompt));
  ASSERT_FALSE(faulty->writtenSectors.empty());
  EXPECT_EQ(faulty->writtenSectors.front(), 1008u);
  EXPECT_EQ(faulty->writtenSectors.back(), 0u);
  EXPECT_EQ(std::count(faulty->writtenSectors.begin(), faulty->writtenSectors.end(), 0u), 1);
}

// --- saving all disks and a single one

using test::FakeRestart;

// Restarting the machine matters only for its own disks: the question comes when a block device
// was written, with "Nein" as its default, and never for image files, nothing written or a save
// that failed.
TEST_F(TableWriterTest, SaveAllAsksToRestartOnlyAfterABlockDeviceWasWritten) {
  MakeImage(20);
  test::MemoryRegistry registry;
  registry.AddScsiUnit("Scsi Port 0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "DiskPeripheral", "Image d 1");
  std::string error;
  const auto devices = *DeviceList::FromSpecs({image->Spec()}, error);
  WorkingCopy copy(DiskEnvironment{devices, OsVersion{}, registry, prompt, HoldsOurLoader});
  copy.LoadAll();
  FakeRestart restart;
  EXPECT_TRUE(SaveAll(copy, prompt, restart));  // nothing to write
  copy.Find(0)->MarkModified();
  EXPECT_TRUE(SaveAll(copy, prompt, restart));  // an image file written
  EXPECT_FALSE(copy.Find(0)->IsModified());
  EXPECT_TRUE(prompt.shown.empty());

  auto transport = std::make_unique<test::FaultyTransport>(OpenFileDevice(*ParseDeviceSpec(image->Spec(), error)));
  test::FaultyTransport* device = transport.get();
  device->blockDevice = true;
  copy.Add(std::make_unique<CHardDisk>(0, std::move(transport), OsVersion{}, HoldsOurLoader, prompt));
  copy.Find(0)->MarkModified();
  prompt.answers = {PromptAnswer::No};
  EXPECT_TRUE(SaveAll(copy, prompt, restart));
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[0].text, LoadResString(IDS_RESTART_NOW));
  EXPECT_EQ(prompt.shown[0].buttons, PromptButtons::YesNoDefaultNo);
  EXPECT_EQ(prompt.shown[1].text, LoadResString(IDS_REMEMBER_RESTART));
  EXPECT_EQ(restart.calls, 0);

  restart.accept = false;
  prompt.answers = {PromptAnswer::Yes};
  copy.Find(0)->MarkModified();
  SaveAll(copy, prompt, restart);
  EXPECT_EQ(restart.calls, 1);
  EXPECT_EQ(prompt.shown.back().text, LoadResString(IDS_NO_SHUTDOWN_RIGHT));

  // The write fails: the disk stays modified and nobody is asked to restart.
  device->writesBeforeFailure = 0;
  copy.Find(0)->MarkModified();
  prompt.shown.clear();
  EXPECT_FALSE(SaveAll(copy, prompt, restart));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_FALSE(prompt.shown[0].question);
  EXPECT_EQ(restart.calls, 1);
}

TEST_F(TableWriterTest, SaveAllSetsTheBannerDigitOfModifiedEngineDisks) {
  auto& img = MakeImage(20);
  ASSERT_TRUE(img.AddPrimary(0, 0x07, 63, 1000));
  test::MemoryRegistry registry;
  registry.AddScsiUnit("Scsi Port 0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "DiskPeripheral", "Image d 1");
  std::string error;
  const auto devices = *DeviceList::FromSpecs({image->Spec()}, error);
  WorkingCopy copy(DiskEnvironment{devices, OsVersion{}, registry, prompt, HoldsOurLoader});
  copy.LoadAll();
  InstallByHand(*copy.Find(0), {63});
  ASSERT_EQ(copy.Find(0)->engineArea[layout::CONST_VERSION_MINOR_AREA], '3');
  ASSERT_TRUE(SaveModifiedDisks(copy, prompt));
  EXPECT_EQ(copy.Find(0)->engineArea[layout::CONST_VERSION_MINOR_AREA], '1');
  EXPECT_FALSE(copy.Find(0)->IsModified());
}

TEST_F(TableWriterTest, SingleDiskSaveRefusesAnEmptyBootMenuOnTheFirstDisk) {
  auto& img = MakeImage();
  ASSERT_TRUE(img.AddPrimary(0, 0x07, 63, 10000));
  auto disk = Open();
  InstallByHand(*disk, {});
  EXPECT_FALSE(SaveSingleDisk(*disk, prompt));
  EXPECT_EQ(prompt.shown.back().text, LoadResString(IDS_EMPTY_BOOT_MENU));
  EXPECT_FALSE(HasBootSignature(*img.ReadSector(1)) && (*img.ReadSector(1))[0] == 0xE9);
}

}  // namespace
}  // namespace korvex
