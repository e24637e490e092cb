// Booting a chosen menu entry: the questions, exactly which bytes reach the disk, what a failed
// write or a refused restart leaves behind, and that a pending direct boot stays until it is cancelled.
#include "bootengine/DirectBoot.h"

#include "bootengine/EngineDiskFixture.h"
#include "bootengine/LoaderRecognition.h"
#include "bootengine/MenuConfig.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "platform/TransferErrors.h"
#include "support/FakeRestart.h"
#include "support/FaultyTransport.h"

namespace korvex {
namespace {

using test::FakeRestart;

// Offsets at which two images differ.
std::vector<std::size_t> Differences(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    if (a[i] != b[i]) offsets.push_back(i);
  }
  return offsets;
}

class DirectBootTest : public test::EngineDiskTest {
 protected:
  void SetUp() override {
    spec = MakeEngineDisk("d.img", {.menu = {0, 1, 2}, .defaultPosition = 0});
    prompt.shown.clear();
    std::string error;
    devices = *DeviceList::FromSpecs({spec}, error);
    registry.AddScsiUnit("Scsi Port 0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "DiskPeripheral",
                         "Image d.img 1.0");
    copy.emplace(DiskEnvironment{devices, OsVersion{}, registry, prompt, HoldsOurLoader});
    copy->LoadAll();
    before = FileBytes(spec);
  }
  CHardDisk& Disk() { return *copy->Find(0); }
  ObjectRef Entry(unsigned n) { return *RefOf(Disk(), Part(Disk(), n)); }
  DirectBootResult Boot(unsigned n) { return BootPartition(*copy, Entry(n), prompt, restart); }

  std::string spec;
  test::MemoryRegistry registry;
  DeviceList devices;
  std::optional<WorkingCopy> copy;
  FakeRestart restart;
  std::vector<std::uint8_t> before;
};

TEST_F(DirectBootTest, WritesOnlyTheDirectBootAndDefaultBytesOfSector0AndRestarts) {
  prompt.answers = {PromptAnswer::Yes};
  EXPECT_EQ(Boot(2), DirectBootResult::Restarting);
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{LoadResString(IDS_START_BOOT)}));
  EXPECT_EQ(restart.calls, 1);
  const auto after = FileBytes(spec);
  EXPECT_EQ(Differences(before, after),
            (std::vector<std::size_t>{layout::LOADER_DEFAULT_ENTRY, layout::LOADER_DIRECT_BOOT}));
  EXPECT_EQ(after[layout::LOADER_DEFAULT_ENTRY], 2);
  EXPECT_NE(after[layout::LOADER_DIRECT_BOOT], 0);
  // The master copy, from which the engine restores sector 0 at boot, is untouched.
  EXPECT_EQ(after[512 + layout::AREA_MBR_COPY + layout::LOADER_DIRECT_BOOT], 0);
}

TEST_F(DirectBootTest, TheFirstEntryIsBootedDirectlyToo) {
  ASSERT_TRUE(SetDefaultPartition(*copy, Entry(1), prompt));
  ASSERT_TRUE(SaveModifiedDisks(*copy, prompt));
  before = FileBytes(spec);
  prompt.answers = {PromptAnswer::Yes};
  EXPECT_EQ(Boot(0), DirectBootResult::Restarting);
  const auto after = FileBytes(spec);
  EXPECT_NE(after[layout::LOADER_DIRECT_BOOT], 0);  // position 0 must not read as "show the menu"
  EXPECT_EQ(after[layout::LOADER_DEFAULT_ENTRY], 0);
}

TEST_F(DirectBootTest, UnsavedChangesAreOnlyGivenUpAfterYesTo33462) {
  ASSERT_TRUE(SetTimeout(Disk(), 7, prompt));
  prompt.answers = {PromptAnswer::Cancel};
  EXPECT_EQ(Boot(1), DirectBootResult::NotConfirmed);
  EXPECT_EQ(LastText(), LoadResString(IDS_DISCARD_CHANGES));
  EXPECT_EQ(FileBytes(spec), before);
  EXPECT_EQ(restart.calls, 0);
  EXPECT_TRUE(Disk().IsModified());  // the working copy keeps the change

  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
  EXPECT_EQ(Boot(1), DirectBootResult::Restarting);
  EXPECT_EQ(FileBytes(spec)[layout::LOADER_DEFAULT_ENTRY], 1);
  EXPECT_EQ(FileBytes(spec)[512 + layout::AREA_TIMEOUT], before[512 + layout::AREA_TIMEOUT]);
}

TEST_F(DirectBootTest, DecliningTheRestartWritesNothingAndReloadsTheWorkingCopy) {
  ASSERT_TRUE(MoveMenuEntry(*copy, Entry(2), 0, prompt));
  prompt.answers = {PromptAnswer::Yes, PromptAnswer::No};
  EXPECT_EQ(Boot(2), DirectBootResult::NotConfirmed);
  EXPECT_EQ(FileBytes(spec), before);
  EXPECT_EQ(restart.calls, 0);
  EXPECT_FALSE(Disk().IsModified());
  EXPECT_EQ(MenuOrder(Disk()), (std::vector<unsigned>{0, 1, 2}));
}

TEST_F(DirectBootTest, AnEntryThatIsNotInTheSavedMenuIsRefused) {
  // Created into the menu since the last save: the engine's table on the disk does not know it.
  auto created = std::make_unique<CPartition>(test::PartStart(5), test::kPartLength, kSlotUnplacedMenu);
  created->MarkNew(PartitionState::NewMenu);
  Disk().primary.Insert(std::move(created));
  Disk().MarkModified();
  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
  EXPECT_EQ(Boot(5), DirectBootResult::Refused);
  EXPECT_EQ(LastText(), text::kNotInSavedMenu);
  EXPECT_EQ(FileBytes(spec), before);
  EXPECT_EQ(restart.calls, 0);
}

TEST_F(DirectBootTest, TheSavedPositionCountsNotTheUnsavedOne) {
  ASSERT_TRUE(MoveMenuEntry(*copy, Entry(2), 0, prompt));  // unsaved: partition 2 first
  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
  EXPECT_EQ(Boot(2), DirectBootResult::Restarting);
  EXPECT_EQ(FileBytes(spec)[layout::LOADER_DEFAULT_ENTRY], 2);  // where the engine's table has it
}

TEST_F(DirectBootTest, AFailedWriteIsReportedAndThereIsNoRestart) {
  std::string error;
  auto inner = OpenFileDevice(*ParseDeviceSpec(spec, error));
  auto faulty = std::make_unique<test::FaultyTransport>(std::move(inner));
  faulty->unwritableSectors = {0};
  copy->Add(std::make_unique<CHardDisk>(0, std::move(faulty), OsVersion{}, HoldsOurLoader, prompt));
  const std::string where = Disk().Transport()->Describe();
  prompt.answers = {PromptAnswer::Yes};
  EXPECT_EQ(Boot(1), DirectBootResult::Failed);
  EXPECT_EQ(LastText(), StrFormat(text::kDirectBootWriteFailed, "PHYSICALDRIVE0", where.c_str()));
  EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);
  EXPECT_EQ(restart.calls, 0);
  EXPECT_EQ(FileBytes(spec), before);
}

// A write of sector 0 whose end is unknown, or one that cannot be flushed, may have set the
// direct boot: the report says that it is unknown, and there is no restart.
TEST_F(DirectBootTest, AnUncertainWriteIsReportedAsSuchAndThereIsNoRestart) {
  for (const bool flushFails : {false, true}) {
    std::string error;
    auto faulty = std::make_unique<test::FaultyTransport>(OpenFileDevice(*ParseDeviceSpec(spec, error)));
    if (flushFails) {
      faulty->flushFails = true;
    } else {
      faulty->unwritableSectors = {0};
      faulty->writeError = kErrorHelperNoAnswerWrite;
    }
    copy->Add(std::make_unique<CHardDisk>(0, std::move(faulty), OsVersion{}, HoldsOurLoader, prompt));
    const std::string where = Disk().Transport()->Describe();
    prompt.answers = {PromptAnswer::Yes};
    EXPECT_EQ(Boot(1), DirectBootResult::Failed);
    EXPECT_EQ(LastText(), StrFormat(text::kDirectBootUncertain, "PHYSICALDRIVE0", where.c_str()));
    EXPECT_EQ(restart.calls, 0);
  }
}

TEST_F(DirectBootTest, ARefusedRestartIsReportedAndTheDirectBootStaysPendingUntilTheUserCancelsIt) {
  restart.accept = false;
  prompt.answers = {PromptAnswer::Yes};
  EXPECT_EQ(Boot(2), DirectBootResult::RestartRefused);
  EXPECT_EQ(LastText(), LoadResString(IDS_NO_SHUTDOWN_RIGHT));
  EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Exclamation);
  ASSERT_NE(FileBytes(spec)[layout::LOADER_DIRECT_BOOT], 0);

  // An unrelated save keeps the request, at the position its entry has after the save; the
  // engine's master copy never carries it, so the direct boot happens once.
  ASSERT_TRUE(MoveMenuEntry(*copy, Entry(2), 0, prompt));
  ASSERT_TRUE(SaveModifiedDisks(*copy, prompt)) << LastText();
  auto after = FileBytes(spec);
  EXPECT_NE(after[layout::LOADER_DIRECT_BOOT], 0);
  EXPECT_EQ(after[layout::LOADER_DEFAULT_ENTRY], 0);  // partition 2 now stands first
  EXPECT_EQ(after[512 + layout::AREA_MBR_COPY + layout::LOADER_DIRECT_BOOT], 0);
  EXPECT_EQ(after[512 + layout::AREA_MBR_COPY + layout::LOADER_DEFAULT_ENTRY], 1);  // the default stays partition 0

  // Only the user's cancellation drops it.
  copy->LoadAll();
  ASSERT_TRUE(CancelDirectBoot(Disk(), prompt));
  ASSERT_TRUE(SaveModifiedDisks(*copy, prompt)) << LastText();
  after = FileBytes(spec);
  EXPECT_EQ(after[layout::LOADER_DIRECT_BOOT], 0);
  EXPECT_EQ(after[layout::LOADER_DEFAULT_ENTRY], 1);
  EXPECT_FALSE(CancelDirectBoot(Disk(), prompt));
}

TEST_F(DirectBootTest, OnlyMenuEntriesOfAnEngineDiskCanBeBooted) {
  std::string error;
  auto plain = ImageBuilder::Create(dir.File("plain.img"), 30, 16, 63, error);
  ASSERT_TRUE(plain->AddPrimary(0, 0x07, test::PartStart(0), test::kPartLength));
  auto disk = Open(plain->Spec());
  EXPECT_EQ(BootPartition(disk.copy(), disk.Ref(Part(*disk, 0)), prompt, restart), DirectBootResult::Refused);
  EXPECT_EQ(LastText(), StrFormat(text::kNoEngineOnDisk, "PHYSICALDRIVE0"));
  EXPECT_EQ(restart.calls, 0);
}

}  // namespace
}  // namespace korvex
