// The partition form: deriving CHS and relative positions from each other, the checks before
// its values are applied with their exact report, the questions, what applying changes, and
// the overlap report of "Prüfen".
#include <gtest/gtest.h>

#include "partition/PartitionEntry.h"
#include "partition/PositionChecks.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "support/EditingFixture.h"

namespace korvex {
namespace {

using test::Obj;
using test::Objects;
constexpr auto Free = PartitionState::Free;
constexpr auto Table = PartitionState::Table;

std::string Report(std::initializer_list<std::string> lines) {
  std::string report;
  for (const auto& line : lines) report += line;
  return report + "\n" + std::to_string(lines.size()) + LoadResString(IDS_ERRORS_NO_SAVE);
}

class PositionChecksTest : public test::EditingTest {
 protected:
  // 100 cylinders of 255 heads and 63 sectors; partitions [63, 100 000) and
  // [200 000, 300 000), an extended partition [400 000, 600 000) with one drive.
  void SetUp() override {
    auto& img = MakeImage(100, 255);
    ASSERT_TRUE(img.AddPrimary(0, 0x83, 63, 99937));
    ASSERT_TRUE(img.AddPrimary(1, 0x07, 200000, 100000));
    ASSERT_TRUE(img.AddExtended(2, 0x05, 400000, 200000, {{400000, 400063, 49937}}));
    disk = Open();
  }
  // The form of the object at start with a new position, both kinds of fields agreeing.
  PartitionForm Moved(const CPartition& object, std::uint32_t start, std::uint32_t length) {
    PartitionForm form = FormFromObject(*disk, object);
    form.relativeStart = start;
    form.length = length;
    RelativeToAbsolute(*disk, form);
    return form;
  }
  FormApplyResult Apply(const CPartition& object, const PartitionForm& form) {
    return ApplyPartitionForm(disk.copy(), disk.Ref(object), form, prompt);
  }
  void ExpectReport(const std::string& report) {
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().text, report);
    EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);
  }

  test::DiskInCopy disk;
};

TEST_F(PositionChecksTest, DerivationBothWays) {
  PartitionForm form;
  form.relativeStart = 0;
  form.length = 1;
  RelativeToAbsolute(*disk, form);
  EXPECT_EQ(form.startChs.cylinder, 0);
  EXPECT_EQ(form.startChs.head, 0);
  EXPECT_EQ(form.startChs.sector, 1);
  EXPECT_EQ(form.endChs.sector, 1);

  form.startChs = ChsAddress{7, 0, 1};
  form.endChs = ChsAddress{8, 254, 63};
  AbsoluteToRelative(*disk, form);
  EXPECT_EQ(form.relativeStart, 112455u);
  EXPECT_EQ(form.length, 32130u);
  form.startChs = form.endChs = ChsAddress{};
  RelativeToAbsolute(*disk, form);
  EXPECT_EQ(form.endChs.cylinder, 8);
  EXPECT_EQ(form.endChs.head, 254);
  EXPECT_EQ(form.endChs.sector, 63);
}

TEST_F(PositionChecksTest, MatchingValuesAreAppliedAndTheFreeAreasRebuilt) {
  CPartition& p = At(disk->primary, 200000);
  ASSERT_EQ(Apply(p, Moved(p, 150000, 100000)), FormApplyResult::Applied);
  EXPECT_TRUE(prompt.shown.empty());  // the type stayed: no question
  EXPECT_EQ(p.start, 150000u);
  EXPECT_EQ(At(disk->primary, 100000).length, 50000u);
  EXPECT_EQ(At(disk->primary, 250000).length, 150000u);
  EXPECT_TRUE(disk->IsModified());

  auto reread = SaveAndReopen(*disk);
  EXPECT_EQ(ReadTableEntry(*image->ReadSector(0), 1).relativeStart, 150000u);
  EXPECT_EQ(Objects(reread->primary), Objects(disk->primary));
}

TEST_F(PositionChecksTest, OneErrorShowsItsTextAnEmptyLineAndTheCount) {
  CPartition& p = At(disk->primary, 200000);
  PartitionForm form = FormFromObject(*disk, p);
  form.length = 99999;  // the CHS end still says 100 000 sectors
  EXPECT_EQ(Apply(p, form), FormApplyResult::Refused);
  ExpectReport("Die absolute Endposition passt nicht zur Länge der Partition!\n\n1 Fehler. Speichern nicht möglich!\n");
  EXPECT_EQ(p.length, 100000u);
  EXPECT_FALSE(disk->IsModified());
}

TEST_F(PositionChecksTest, EveryFailedCheckIsListedInOrderAndCounted) {
  CPartition& p = At(disk->primary, 200000);
  PartitionForm form = FormFromObject(*disk, p);
  form.relativeStart = 50000;  // inside the first partition, CHS unchanged
  EXPECT_EQ(Apply(p, form), FormApplyResult::Refused);
  ExpectReport(Report(
      {LoadResString(IDS_START_MISMATCH), LoadResString(IDS_END_MISMATCH), LoadResString(IDS_OVERLAP)}));

  // A single sector: start equals end.
  EXPECT_EQ(Apply(p, Moved(p, 200000, 1)), FormApplyResult::Refused);
  ExpectReport(Report({LoadResString(IDS_START_NOT_BEFORE_END)}));
}

TEST_F(PositionChecksTest, OverlapRuleAnySharedSectorIsAConflict) {
  CPartition& p = At(disk->primary, 200000);
  // Starting in free space and ending inside the extended partition is a conflict.
  EXPECT_EQ(Apply(p, Moved(p, 300000, 150000)), FormApplyResult::Refused);
  ExpectReport(Report({LoadResString(IDS_OVERLAP)}));
  // Swallowing another partition whole is one, too: the first partition grows over the second.
  CPartition& first = At(disk->primary, 63);
  EXPECT_EQ(Apply(first, Moved(first, 63, 350000)), FormApplyResult::Refused);
  ExpectReport(Report({LoadResString(IDS_OVERLAP)}));
  EXPECT_FALSE(disk->IsModified());

  first.length = 1000;
  EXPECT_TRUE(ClearOfPrimaryOverlap(*disk, p));
  p.start = 50;
  p.length = 5000;  // encloses [63, 1063)
  EXPECT_FALSE(ClearOfPrimaryOverlap(*disk, p));
  EXPECT_FALSE(ClearOfPrimaryOverlap(*disk, first));  // lies wholly inside p
  p.start = 500;
  EXPECT_FALSE(ClearOfPrimaryOverlap(*disk, p));
  p.start = 1063;  // begins right after
  EXPECT_TRUE(ClearOfPrimaryOverlap(*disk, p));
  EXPECT_TRUE(ClearOfLogicalOverlap(*disk, *disk->logical.Used()[0]));
}

TEST_F(PositionChecksTest, OneSharedSectorAtEitherEndIsAConflict) {
  CPartition& p = At(disk->primary, 200000);
  // The first partition is [63, 100 000): a form starting on its last sector overlaps it.
  EXPECT_EQ(Apply(p, Moved(p, 99999, 50000)), FormApplyResult::Refused);
  ExpectReport(Report({LoadResString(IDS_OVERLAP)}));
  // The extended partition begins at 400 000: a form ending on that sector overlaps it.
  EXPECT_EQ(Apply(p, Moved(p, 300000, 100001)), FormApplyResult::Refused);
  ExpectReport(Report({LoadResString(IDS_OVERLAP)}));
  EXPECT_FALSE(disk->IsModified());
  // One sector further off on each side, both fit.
  EXPECT_EQ(Apply(p, Moved(p, 100000, 300000)), FormApplyResult::Applied);
}

TEST_F(PositionChecksTest, ExtendedTypeRules) {
  CPartition& drive = At(disk->logical, 400000);
  PartitionForm form = FormFromObject(*disk, drive);
  form.type = 5;
  EXPECT_EQ(Apply(drive, form), FormApplyResult::Refused);
  ExpectReport(Report({LoadResString(IDS_TYPE5_NOT_HERE), LoadResString(IDS_ONE_TYPE5_PER_DISK)}));
  form.type = 15;
  EXPECT_EQ(Apply(drive, form), FormApplyResult::Refused);
  ExpectReport(Report({text::kType15NotHere, text::kSecondExtended}));

  CPartition& p = At(disk->primary, 200000);
  form = FormFromObject(*disk, p);
  form.type = 5;
  EXPECT_EQ(Apply(p, form), FormApplyResult::Refused);
  ExpectReport(Report({LoadResString(IDS_ONE_TYPE5_PER_DISK)}));
  form.type = 15;
  EXPECT_EQ(Apply(p, form), FormApplyResult::Refused);
  ExpectReport(Report({text::kSecondExtended}));

  // The extended partition itself: other values with type 5 pass, and so does type 15.
  CPartition& ext = At(disk->primary, 400000);
  form = Moved(ext, 400000, 150000);
  ASSERT_EQ(Apply(ext, form), FormApplyResult::Applied) << LastText();
  form.type = 15;
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_EQ(Apply(ext, form), FormApplyResult::Applied) << LastText();
  EXPECT_EQ(ext.type, 15);
  EXPECT_EQ(disk->logical.Used().size(), 1u);
}

TEST_F(PositionChecksTest, TypeChangeAsksAndNoChangesNothing) {
  CPartition& p = At(disk->primary, 200000);
  PartitionForm form = FormFromObject(*disk, p);
  form.type = 0x0B;
  prompt.answers = {PromptAnswer::No};
  EXPECT_EQ(Apply(p, form), FormApplyResult::Refused);
  EXPECT_EQ(LastText(), LoadResString(IDS_TYPE_CHANGE));
  EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Exclamation);
  EXPECT_EQ(p.type, 0x07);
  prompt.answers = {PromptAnswer::Yes};
  EXPECT_EQ(Apply(p, form), FormApplyResult::Applied);
  EXPECT_EQ(p.type, 0x0B);
}

TEST_F(PositionChecksTest, ExtendedToAnotherTypeAsksTwiceAndDropsTheLogicalDrives) {
  CPartition& ext = At(disk->primary, 400000);
  PartitionForm form = FormFromObject(*disk, ext);
  form.type = 7;
  prompt.answers = {PromptAnswer::Yes, PromptAnswer::No};
  EXPECT_EQ(Apply(ext, form), FormApplyResult::Refused);
  EXPECT_EQ(disk->logical.size(), 2u);
  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
  ASSERT_EQ(Apply(ext, form), FormApplyResult::Applied);
  ASSERT_GE(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[prompt.shown.size() - 2].text, LoadResString(IDS_TYPE_CHANGE));
  EXPECT_EQ(prompt.shown.back().text, LoadResString(IDS_LOSE_LOGICAL_DRIVES));
  EXPECT_TRUE(disk->logical.empty());
  EXPECT_EQ(disk->FindExtended(), nullptr);

  auto reread = SaveAndReopen(*disk);
  EXPECT_TRUE(reread->logical.empty());
  EXPECT_EQ(At(reread->primary, 400000).type, 7);
}

TEST_F(PositionChecksTest, APartitionTurnedExtendedOwnsTheLevelAndGetsAnEmptyFirstRecord) {
  // A disk without an extended partition: the NTFS partition becomes one.
  auto& img = MakeImage(100, 255);
  ASSERT_TRUE(img.AddPrimary(1, 0x07, 200000, 100000));
  ASSERT_TRUE(img.AddBootSector(200000, "NTFS"));
  disk = Open();
  CPartition& p = At(disk->primary, 200000);
  PartitionForm form = FormFromObject(*disk, p);
  form.type = 0x0F;
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_EQ(Apply(p, form), FormApplyResult::Applied) << LastText();
  EXPECT_TRUE(p.holdsLogicalDrives);
  EXPECT_EQ(Objects(disk->logical), (std::vector<Obj>{{Free, 200000, 100000}}));

  // The old boot sector would otherwise be read as a chain of made-up drives.
  auto reread = SaveAndReopen(*disk);
  std::vector<std::uint8_t> empty(512, 0);
  empty[510] = 0x55;
  empty[511] = 0xAA;
  EXPECT_EQ(*image->ReadSector(200000), empty);
  EXPECT_EQ(Objects(reread->logical), (std::vector<Obj>{{Free, 200000, 100000}}));
}

TEST_F(PositionChecksTest, ValuesTheDiskCouldNotHold) {
  CPartition& p = At(disk->primary, 200000);
  EXPECT_EQ(Apply(p, Moved(p, 1550000, 100000)), FormApplyResult::Refused);  // the disk ends at 1 606 500
  ExpectReport(Report({text::kBeyondDiskEnd}));

  CPartition& drive = At(disk->logical, 400000);
  EXPECT_EQ(Apply(drive, Moved(drive, 400000, 63)), FormApplyResult::Refused);
  ExpectReport(Report({text::kLogicalWithoutData}));
  EXPECT_EQ(Apply(drive, Moved(drive, 390000, 20000)), FormApplyResult::Refused);
  ExpectReport(Report({LoadResString(IDS_LOGICAL_OUTSIDE)}));

  PartitionForm form = FormFromObject(*disk, p);
  form.type = 0;
  EXPECT_EQ(Apply(p, form), FormApplyResult::Refused);
  ExpectReport(Report({text::kTypeZeroLine}));
}

TEST_F(PositionChecksTest, ApplyingToAFreeAreaLeavesNoLastingChange) {
  const auto before = Objects(disk->primary);
  CPartition& gap = At(disk->primary, 100000);
  ASSERT_EQ(Apply(gap, Moved(gap, 120000, 50000)), FormApplyResult::Applied);
  EXPECT_EQ(Objects(disk->primary), before);
}

// --- "Prüfen"

TEST_F(PositionChecksTest, CheckReportsWhereStartAndEndLie) {
  // The example: S starts inside the table partition at 63 and ends inside the menu entry Linux.
  disk->primary.Clear();
  auto add = [&](std::uint32_t start, std::uint32_t length) -> CPartition& {
    auto object = std::make_unique<CPartition>(start, length, 0);
    CPartition& ref = *object;
    disk->primary.Insert(std::move(object));
    return ref;
  };
  add(63, 1000).SetTable();
  CPartition& linux = add(5000, 1000);
  linux.SetMenu();
  linux.SetTitle("Linux");
  CPartition& s = add(500, 5000);
  EXPECT_EQ(CheckPartition(disk->primary, s, nullptr, disk->UsableSectors()),
            "Die Partition beginnt im Bereich der Partition, die beim relativen Sektor 63 beginnt\n"
            "Die Partition endet im Bereich der Partition Linux\n");

  s.start = 2000;
  s.length = 1000;
  EXPECT_EQ(CheckPartition(disk->primary, s, nullptr, disk->UsableSectors()), "");
  EXPECT_EQ(CheckReport(disk.copy(), disk.Ref(s), prompt).value_or("nothing"), "Keine Fehler festgestellt");
}

TEST_F(PositionChecksTest, CheckReportsPartitionsWhollyInsideAndFindsTheLastSector) {
  CPartition& first = At(disk->primary, 63);
  CPartition& second = At(disk->primary, 200000);
  // The first partition grows over the second one and into the extended partition; in level
  // order the second partition comes first. Free areas inside are no finding.
  first.length = 400000;
  EXPECT_EQ(CheckPartition(disk->primary, first, nullptr, disk->UsableSectors()),
            "Die Partition umschließt die Partition, die beim relativen Sektor 200000 beginnt\n"
            "Die Partition endet im Bereich der Partition, die beim relativen Sektor 400000 beginnt\n");
  // A menu entry inside is named by its title; the end now lies in the free area behind it.
  second.SetMenu();
  second.SetTitle("Windows");
  first.length = 300000;
  EXPECT_EQ(CheckPartition(disk->primary, first, nullptr, disk->UsableSectors()),
            "Die Partition umschließt die Partition Windows\n"
            "Die Partition endet im Bereich der Partition, die beim relativen Sektor 300000 beginnt\n");
  // The swallowed one begins inside the other; its last sector, too.
  EXPECT_EQ(CheckPartition(disk->primary, second, nullptr, disk->UsableSectors()),
            "Die Partition beginnt im Bereich der Partition, die beim relativen Sektor 63 beginnt\n"
            "Die Partition endet im Bereich der Partition, die beim relativen Sektor 63 beginnt\n");
  // Starting on the other partition's last sector is starting inside it.
  first.length = 200001 - 63;
  second.SetTable();
  EXPECT_EQ(CheckPartition(disk->primary, second, nullptr, disk->UsableSectors()),
            "Die Partition beginnt im Bereich der Partition, die beim relativen Sektor 63 beginnt\n");
}

TEST_F(PositionChecksTest, AMenuTitleLongerThanTheScreenLineIsRefusedNotCut) {
  // Both front ends hand the form's title over as typed; the operation refuses what the
  // boot screen cannot hold instead of storing a shortened title.
  CPartition& entry = At(disk->primary, 200000);
  entry.SetMenu();
  entry.SetTitle("Windows");
  PartitionForm form = FormFromObject(*disk, entry);
  form.title = std::string(kTitleLength + 1, 'x');
  EXPECT_EQ(Apply(entry, form), FormApplyResult::Refused);
  ExpectReport(text::kTitleTooLong);
  EXPECT_EQ(entry.GetTitle(), "Windows");
  EXPECT_FALSE(disk->IsModified());
  form.title = std::string(kTitleLength, 'x');
  EXPECT_NE(Apply(entry, form), FormApplyResult::Refused);
  EXPECT_EQ(entry.GetTitle(), form.title);
}

TEST_F(PositionChecksTest, CheckRefusesAFreeArea) {
  const CPartition& gap = At(disk->primary, 100000);
  EXPECT_FALSE(CheckReport(disk.copy(), disk.Ref(gap), prompt));
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_EQ(prompt.shown.back().text, text::kFreeAreaNotCheckable);
  EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);
}

TEST_F(PositionChecksTest, CheckOfALogicalDriveOutsideItsExtendedPartition) {
  const CPartition& ext = At(disk->primary, 400000);
  CPartition& drive = At(disk->logical, 400000);
  EXPECT_EQ(CheckPartition(disk->logical, drive, &ext, disk->UsableSectors()), "");
  drive.start = 300000;
  drive.length = 250000;
  // Free areas count as well: the drive now ends inside the free rest of the extended partition.
  const std::string findings = "Die Partition endet im Bereich der Partition, die beim relativen Sektor 450000 beginnt\n" +
                               LoadResString(IDS_LOGICAL_OUTSIDE) + LoadResString(IDS_LOGICAL_TOO_BIG);
  EXPECT_EQ(CheckPartition(disk->logical, drive, &ext, disk->UsableSectors()), findings);
  // The report of a logical drive finds the extended partition itself.
  EXPECT_EQ(CheckReport(disk.copy(), disk.Ref(drive), prompt).value_or("nothing"), findings);
}

}  // namespace
}  // namespace korvex
