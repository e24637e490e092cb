// The pending changes: each kind of edit gives its line, in the order a user thinks of them;
// two edits of one partition give their net change, an edit taken back or undone gives none, a
// save leaves none; and the confirmation before a save asks with "Nein" as the default.
#include <gtest/gtest.h>

#include "bootengine/EngineConfig.h"
#include "bootengine/EngineDiskFixture.h"
#include "bootengine/EngineInstall.h"
#include "bootengine/EngineRemoval.h"
#include "bootengine/MenuConfig.h"
#include "bootengine/Passwords.h"
#include "disk/FormatSize.h"
#include "partition/AdoptVolume.h"
#include "partition/PartitionEditing.h"
#include "partition/PositionChecks.h"
#include "parttypes/PartTypeCatalogue.h"
#include "platform/Cp437.h"
#include "platform/StringFormat.h"
#include "shell/PendingOperations.h"

namespace korvex {
namespace {

using test::PartStart;
using Lines = std::vector<std::string>;

// 30 cylinders of 16 heads and 63 sectors: an active NTFS partition, a FAT32 partition, an
// extended partition with two logical drives (Linux, swap) and a Linux partition; free space at
// the end.
constexpr std::uint32_t kExt = PartStart(2);
constexpr std::uint32_t kSecondDrive = PartStart(3);
constexpr std::uint32_t kLinux = PartStart(7);

class PendingOperationsTest : public test::EngineDiskTest {
 protected:
  void SetUp() override {
    std::string error;
    store = OpenRegistryStore(dir.File("user.reg"), DeviceList{}, "", error);
    ASSERT_TRUE(store) << error;
    ASSERT_TRUE(StoreCatalogueRows(*store, {{"6", "FAT16"}, {"7", "NTFS/HPFS"}, {"5", "Erweitert"},
                                              {"11", "FAT32"}, {"12", "FAT32 LBA"}, {"130", "Linux Swap"},
                                              {"131", "Linux"}}));
  }
  std::string PlainDisk() {
    std::string error;
    auto image = ImageBuilder::Create(dir.File("plain.img"), 30, 16, 63, error);
    EXPECT_TRUE(image) << error;
    EXPECT_TRUE(image->AddPrimary(0, 0x07, PartStart(0), test::kPartLength, true));
    EXPECT_TRUE(image->AddPrimary(1, 0x0C, PartStart(1), test::kPartLength));
    EXPECT_TRUE(image->AddExtended(2, 0x05, kExt, 4 * 2016,
                                   {{kExt, kExt + 63, 1937, 0x83}, {kSecondDrive, kSecondDrive + 63, 1937, 0x82}}));
    EXPECT_TRUE(image->AddPrimary(3, 0x83, kLinux, test::kPartLength));
    return image->Spec();
  }
  Lines Pending(const test::DiskInCopy& disk) const {
    Lines lines;
    for (const PendingOperation& operation : PendingOperations(disk.copy(), *store)) lines.push_back(operation.text);
    return lines;
  }
  // Applies the partition form of object with its type or length changed, as one action.
  void ApplyForm(test::DiskInCopy& disk, CPartition& object, std::optional<std::uint8_t> type,
                 std::optional<std::uint32_t> length = std::nullopt) {
    EditStep step(disk.copy());
    PartitionForm form = FormFromObject(*disk, object);
    if (type) form.type = *type;
    if (length) {
      form.length = *length;
      RelativeToAbsolute(*disk, form);
    }
    prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
    ASSERT_EQ(ApplyPartitionForm(disk.copy(), disk.Ref(object), form, prompt), FormApplyResult::Applied) << LastText();
  }
  static CPartition& Logical(const CHardDisk& disk, std::uint32_t start) {
    CPartition* p = disk.logical.FindFirst([&](const CPartition& q) { return q.start == start; });
    EXPECT_NE(p, nullptr) << "no logical object at " << start;
    return *p;
  }
  static std::string Size(std::uint32_t sectors) { return FormatSize(std::uint64_t{sectors} * 512); }

  std::unique_ptr<RegistryStore> store;
};

TEST_F(PendingOperationsTest, EachEditOfPartitionsGivesItsLineInTheOrderAUserThinksOf) {
  auto disk = Open(PlainDisk());
  EXPECT_TRUE(Pending(disk).empty()) << "nothing pending after reading";
  WorkingCopy& copy = disk.copy();
  ASSERT_TRUE(DeactivatePartition(copy, disk.Ref(Part(*disk, 0)), prompt));
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(DeletePartition(copy, disk.Ref(Logical(*disk, kSecondDrive)), prompt));
  ApplyForm(disk, Part(*disk, 1), 0x0B);
  CreateRequest request;
  request.wholeSpace = false;
  request.value = 1;
  request.alignment = CreateAlignment::Track;
  const std::uint32_t gap = kExt + 2000;  // behind the first drive
  ASSERT_TRUE(CreatePartition(copy, disk.Ref(Logical(*disk, gap)), request, prompt)) << LastText();
  const CPartition& created = Logical(*disk, gap);
  ApplyForm(disk, Part(*disk, 7), std::nullopt, 1000);

  EXPECT_EQ(Pending(disk),
            (Lines{"Logisches Laufwerk löschen: Typ 130 (Linux Swap), " + Size(1937) + " ab Sektor 8127 (1. Festplatte)",
                   "Logisches Laufwerk anlegen: Typ 6 (FAT16), " + Size(created.DataLength()) + " ab Sektor " +
                       std::to_string(gap + 63) + " (1. Festplatte)",
                   "Deaktivieren (Partition ab Sektor 2016, 1. Festplatte)",
                   "Typ ändern: 12 → 11 (Partition ab Sektor 4032, 1. Festplatte)",
                   "Position ändern: ab Sektor 16128, 2000 Sektoren → ab Sektor 16128, 1000 Sektoren "
                   "(Partition ab Sektor 16128, 1. Festplatte)"}));
  for (const PendingOperation& operation : PendingOperations(copy, *store)) EXPECT_EQ(operation.device, 0u);

  // Saved, the disk as written is the measure: nothing is pending any more.
  ASSERT_TRUE(SaveModifiedDisks(copy, prompt)) << LastText();
  EXPECT_TRUE(Pending(disk).empty());
}

TEST_F(PendingOperationsTest, TwoEditsOfOnePartitionGiveTheNetChangeAndAnEditTakenBackGivesNone) {
  auto disk = Open(PlainDisk());
  WorkingCopy& copy = disk.copy();
  ApplyForm(disk, Part(*disk, 1), 0x0B);
  ApplyForm(disk, Part(*disk, 1), 0x06);
  EXPECT_EQ(Pending(disk), (Lines{"Typ ändern: 12 → 6 (Partition ab Sektor 4032, 1. Festplatte)"}));
  ApplyForm(disk, Part(*disk, 1), 0x0C);
  ASSERT_TRUE(DeactivatePartition(copy, disk.Ref(Part(*disk, 0)), prompt));
  ASSERT_TRUE(ActivatePartition(copy, disk.Ref(Part(*disk, 0)), prompt));
  EXPECT_TRUE(Pending(disk).empty()) << "type and active mark are back as read";

  // A partition created and then retyped is one new partition of the final type.
  prompt.answers = {PromptAnswer::Yes};
  ASSERT_TRUE(DeletePartition(copy, disk.Ref(Part(*disk, 7)), prompt));
  const std::uint32_t behindExtended = kExt + 4 * 2016;
  CreateRequest whole;
  whole.alignment = CreateAlignment::Cylinder;
  ASSERT_TRUE(CreatePartition(copy, disk.Ref(*disk->primary.FindFirst([&](const CPartition& p) {
    return p.start == behindExtended;
  })), whole, prompt)) << LastText();
  CPartition& made = *disk->primary.FindFirst([&](const CPartition& p) { return p.start == behindExtended; });
  ApplyForm(disk, made, 0x83);
  EXPECT_EQ(Pending(disk),
            (Lines{"Partition löschen: Typ 131 (Linux), " + Size(2000) + " ab Sektor 16128 (1. Festplatte)",
                   "Partition anlegen: Typ 131 (Linux), " + Size(made.length) + " ab Sektor " +
                       std::to_string(behindExtended) + " (1. Festplatte)"}));

  // Undone, the edits leave no line.
  while (copy.Undo()) {
  }
  EXPECT_TRUE(Pending(disk).empty());
}

TEST_F(PendingOperationsTest, EachEditOfTheBootMenuGivesItsLine) {
  auto disk = Open(MakeEngineDisk("engine.img", {{0, 1, 2}, {{3, 0}}, 0}));
  WorkingCopy& copy = disk.copy();
  ASSERT_TRUE(AddToMenu(copy, disk.Ref(Part(*disk, 3)), prompt)) << LastText();
  ASSERT_TRUE(SetMenuTitle(copy, disk.Ref(Part(*disk, 3)), "Linux", prompt));
  ASSERT_TRUE(RemoveFromMenu(copy, disk.Ref(Part(*disk, 2)), prompt)) << LastText();
  ASSERT_TRUE(SetMenuTitle(copy, disk.Ref(Part(*disk, 0)), "Windows 10", prompt));
  ASSERT_TRUE(MoveMenuEntry(copy, disk.Ref(Part(*disk, 1)), 0, prompt));
  ASSERT_TRUE(SetDefaultPartition(copy, disk.Ref(Part(*disk, 1)), prompt));
  const EngineConfig before = ReadEngineConfig(*disk);
  ASSERT_TRUE(SetTimeout(*disk, 20, prompt));
  ASSERT_TRUE(SetAutoBoot(*disk, !before.autoboot, prompt));
  ASSERT_TRUE(SetMenuColours(*disk, {{15, 1}, {1, 7}}, prompt)) << LastText();
  ASSERT_EQ(SetPartitionPassword(copy, disk.Ref(Part(*disk, 1)), "geheim", "geheim", prompt), PasswordResult::Stored);
  ASSERT_EQ(SetFloppyPassword(copy, FloppyDrive::A, "abc", "abc", prompt), PasswordResult::Stored);

  const auto onOff = [](bool on) { return std::string(on ? "ein" : "aus"); };
  EXPECT_EQ(Pending(disk),
            (Lines{"Bootmenü: Titel 'Eintrag 0' → 'Windows 10' (1. Festplatte)",
                   "Bootmenü: 'Linux' aufnehmen (Partition ab Sektor 8064, 1. Festplatte)",
                   "Bootmenü: 'Eintrag 2' entfernen (Partition ab Sektor 6048, 1. Festplatte)",
                   "Bootmenü: Reihenfolge 'Windows 10', 'Eintrag 1' → 'Eintrag 1', 'Windows 10' (1. Festplatte)",
                   "Bootmenü: Standardeintrag 'Windows 10' → 'Eintrag 1' (1. Festplatte)",
                   StrFormat("Bootmenü: Wartezeit %u → 20 Sekunden (1. Festplatte)", before.timeoutSeconds),
                   "Bootmenü: automatischer Start " + onOff(before.autoboot) + " → " + onOff(!before.autoboot) +
                       " (1. Festplatte)",
                   "Bootmenü: Farben ändern (1. Festplatte)",
                   "Passwort setzen: 'Eintrag 1' (Partition ab Sektor 4032, 1. Festplatte)",
                   "Passwort für das 1. Diskettenlaufwerk setzen (1. Festplatte)"}));

  // Saved and then deleted, a password is a change of its own; the saved one is not.
  ASSERT_TRUE(SaveModifiedDisks(copy, prompt)) << LastText();
  EXPECT_TRUE(Pending(disk).empty());
  ASSERT_TRUE(DeletePartitionPassword(copy, disk.Ref(Part(*disk, 1)), prompt));
  ASSERT_TRUE(DeleteFloppyPassword(copy, FloppyDrive::A, prompt));
  EXPECT_EQ(Pending(disk), (Lines{"Passwort löschen: 'Eintrag 1' (Partition ab Sektor 4032, 1. Festplatte)",
                                  "Passwort für das 1. Diskettenlaufwerk löschen (1. Festplatte)"}));
}

TEST_F(PendingOperationsTest, InstallingRemovingAndAdoptingGiveTheirLines) {
  auto disk = Open(PlainDisk());
  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};  // no backup; whatever lies in the track
  ASSERT_TRUE(InstallEngine(*disk, {1}, "", prompt)) << LastText();  // the NTFS partition
  const Lines installed = Pending(disk);
  ASSERT_GE(installed.size(), 2u);
  EXPECT_EQ(installed[0], "Bootmanager installieren (1. Festplatte)");
  const std::string title = Cp437ToUtf8(Part(*disk, 0).GetTitle());
  EXPECT_NE(std::find(installed.begin(), installed.end(),
                      "Bootmenü: '" + title + "' aufnehmen (Partition ab Sektor 2016, 1. Festplatte)"),
            installed.end())
      << ::testing::PrintToString(installed);
  ASSERT_TRUE(SaveModifiedDisks(disk.copy(), prompt)) << LastText();

  ASSERT_TRUE(RemoveEngine(*disk, {RemovalMode::KeepPartitions, "", {0}}, prompt)) << LastText();
  EXPECT_EQ(Pending(disk), (Lines{"Bootmanager entfernen (1. Festplatte)"}));
  ASSERT_TRUE(disk.copy().Undo());

  // A volume taken over keeps its first sectors; the one found through its backup gets its boot
  // sector back.
  std::string error;
  auto blank = ImageBuilder::Create(dir.File("adopt.img"), 30, 16, 63, error);
  ASSERT_TRUE(blank && blank->SetSignature(0)) << error;
  auto found = Open(blank->Spec());
  FoundVolume volume{20160, 2000, 0x06, std::nullopt, std::array<std::uint8_t, 512>{}};
  ASSERT_NE(AdoptVolume(*found, volume, prompt), nullptr) << LastText();
  EXPECT_EQ(Pending(found),
            (Lines{"Partition übernehmen: Typ 6 (FAT16), " + Size(2000) + " ab Sektor 20160 (1. Festplatte)",
                   "Bootsektor aus der Sicherungskopie schreiben: Sektor 20160 (Partition ab Sektor 20160, "
                   "1. Festplatte)"}));
}

TEST_F(PendingOperationsTest, TheConfirmationListsTheChangesAndNeinIsTheDefault) {
  EXPECT_TRUE(ConfirmPendingSave({}, prompt));
  EXPECT_TRUE(prompt.shown.empty()) << "nothing pending, nothing to confirm";

  std::vector<PendingOperation> operations;
  for (unsigned k = 1; k <= 22; ++k) operations.push_back({0, "Zeile " + std::to_string(k)});
  EXPECT_FALSE(ConfirmPendingSave(operations, prompt));  // the script answers No
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].buttons, PromptButtons::YesNoDefaultNo);
  const std::string& text = prompt.shown[0].text;
  EXPECT_EQ(text.rfind("Diese Änderungen werden geschrieben:\nZeile 1\nZeile 2\n", 0), 0u) << text;
  EXPECT_NE(text.find("Zeile 20\n… und 2 weitere\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Zeile 21"), std::string::npos);
  prompt.answers = {PromptAnswer::Yes};
  EXPECT_TRUE(ConfirmPendingSave(operations, prompt));
}

}  // namespace
}  // namespace korvex
