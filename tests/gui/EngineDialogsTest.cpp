// The boot engine's dialogs opened from their commands: installing with a backup file,
// removing, the boot menu preview, passwords, the self test and the direct boot — each with its
// main path and a refusal, then saved and checked on the image's bytes.
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/image.h>
#include <wx/textctrl.h>

#include "EngineLayout.h"
#include "app/BackupFileField.h"
#include "app/BootMenuPreviewDialog.h"
#include "app/InstallEngineDialog.h"
#include "app/PasswordDialog.h"
#include "app/RemoveEngineDialog.h"
#include "app/SelfTestDialog.h"
#include "wxcommon/WxText.h"
#include "gui/GuiFixture.h"
#include "gui/ModalDriver.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex::test {
namespace {

constexpr std::size_t kSector = 512;
constexpr std::size_t kArea = kSector;  // the engine area starts at LBA 1

class EngineDialogsTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ImportCatalogue();
  }
  // A disk without the engine: an NTFS partition and an extended partition with one drive.
  std::string PlainDisk(const std::string& name) {
    std::string error;
    auto image = ImageBuilder::Create(dir.File(name), 30, 16, 63, error);
    EXPECT_TRUE(image->AddPrimary(0, 0x07, 63, 2016 - 63, true));
    EXPECT_TRUE(image->AddExtended(1, 0x0F, 2016, 8064, {{2016, 2079, 1953}}));
    return image->Spec();
  }
  void SaveAllDisks() {
    prompt.answers = {PromptAnswer::Yes};  // write the listed changes
    Run(CommandId::Save);
    EXPECT_FALSE(Copy().AnyModified()) << LastText();
  }
  static std::vector<std::uint8_t> Bytes(const std::vector<std::uint8_t>& image, std::size_t at, std::size_t n) {
    return {image.begin() + static_cast<long>(at), image.begin() + static_cast<long>(at + n)};
  }
};

TEST_F(EngineDialogsTest, InstallingThroughTheDialogWritesTheBackupAndAtTheSaveTheEngine) {
  const std::string spec = PlainDisk("0.img");
  const auto before = FileBytes(spec);
  OpenWindow({spec});
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  ASSERT_TRUE(Enabled(CommandId::BootManager));
  const std::string backup = dir.File("mbr.save");
  wxTEST_DIALOG(Run(CommandId::BootManager),
                DriveModal<CInstallEngineDlg>([&](CInstallEngineDlg& dialog) {
                  // The NTFS partition can be chosen, the extended partition cannot.
                  EXPECT_TRUE(dialog.choices()[0]->IsEnabled());
                  EXPECT_FALSE(dialog.choices()[1]->IsEnabled());
                  EXPECT_EQ(dialog.choices()[3]->GetLabel(), "unbenutzt");
                  EXPECT_FALSE(dialog.Install());  // nothing chosen
                  EXPECT_EQ(LastText(), LoadResString(IDS_NO_MENU_PARTITION));
                  EXPECT_FALSE(Copy().Find(0)->EngineInstalled());
                  dialog.choices()[0]->SetValue(true);
                  Click(dialog.backupFile().searchButton());
                  dialog.backupFile().SetPath(backup);
                  EXPECT_TRUE(dialog.Install()) << LastText();
                  return wxID_OK;
                }),
                // "&Suchen": a save dialog proposing "MBR" for "*.save" files.
                DriveModal<wxFileDialog>([](wxFileDialog& search) {
                  EXPECT_EQ(search.GetFilename(), "MBR");
                  EXPECT_TRUE(search.GetWildcard().StartsWith("Sicherungsdatei (*.save)|*.save|"));
                  EXPECT_TRUE(search.HasFlag(wxFD_SAVE) && search.HasFlag(wxFD_OVERWRITE_PROMPT));
                  return wxID_CANCEL;
                }));
  EXPECT_EQ(LastText(), text::kEngineInstalled);
  const auto saved = FileBytes(backup);
  ASSERT_EQ(saved.size(), 2 * kSector);
  EXPECT_EQ(saved, Bytes(before, 0, 2 * kSector));
  EXPECT_EQ(FileBytes(spec), before);  // nothing on the disk before the save

  SaveAllDisks();
  const auto after = FileBytes(spec);
  EXPECT_EQ(Bytes(after, kArea, 2), (std::vector<std::uint8_t>{0xE9, 0x69}));
  auto reread = Open(spec);
  ASSERT_EQ(reread->MenuObjectsBySlot().size(), 1u);
  EXPECT_EQ(reread->MenuObjectsBySlot()[0]->start, 63u);
}

TEST_F(EngineDialogsTest, RemovingKeepsTheChosenEntryInTheTableAndRefusesAMissingBackupName) {
  const std::string spec = MakeEngineDisk("0.img", {.menu = {0, 1}, .table = {{2, 0}}});
  OpenWindow({spec});
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  wxTEST_DIALOG(Run(CommandId::BootManager), DriveModal<CRemoveEngineDlg>([&](CRemoveEngineDlg& dialog) {
                  EXPECT_EQ(dialog.mode(), RemovalMode::EmptyMbr);
                  EXPECT_FALSE(dialog.keepBoxes()[0]->IsEnabled());
                  dialog.ChooseMode(RemovalMode::FromBackup);
                  EXPECT_FALSE(dialog.Remove());
                  EXPECT_EQ(LastText(), LoadResString(IDS_NO_BACKUP_FILE));
                  EXPECT_TRUE(Copy().Find(0)->EngineInstalled());
                  dialog.ChooseMode(RemovalMode::KeepPartitions);
                  EXPECT_TRUE(dialog.keepBoxes()[1]->IsEnabled());
                  EXPECT_FALSE(dialog.keepBoxes()[2]->IsEnabled());
                  dialog.keepBoxes()[1]->SetValue(true);
                  EXPECT_TRUE(dialog.Remove()) << LastText();
                  return wxID_OK;
                }));
  // The default entry (0) is not kept: the kept entry 1 is the active partition, and the
  // result says so.
  EXPECT_EQ(LastText(), std::string(text::kEngineRemoved) + StrFormat(text::kKeptPartitionActive, PartStart(1), 7));
  SaveAllDisks();
  const auto after = FileBytes(spec);
  EXPECT_NE(Bytes(after, kArea, 2), (std::vector<std::uint8_t>{0xE9, 0x69}));
  // Key assertion: the table holds the table partition and the kept entry 1, not entry 0.
  auto reread = Open(spec);
  EXPECT_FALSE(reread->EngineInstalled());
  std::vector<std::uint32_t> starts;
  for (const auto& item : reread->primary.items()) {
    if (item.object->InPartitionTable()) starts.push_back(item.object->start);
  }
  EXPECT_EQ(starts, (std::vector<std::uint32_t>{PartStart(1), PartStart(2)}));
  EXPECT_TRUE(Part(*reread, 1).IsActiveTable());
  EXPECT_TRUE(Part(*reread, 2).IsTable());
}

TEST_F(EngineDialogsTest, ThePreviewDrawsTheMenuAndOkStoresColoursAndOrder) {
  const std::string spec = MakeEngineDisk("0.img", {.menu = {0, 1, 2}});
  OpenWindow({spec});
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  ASSERT_TRUE(Enabled(CommandId::BootMenu));
  wxTEST_DIALOG(Run(CommandId::BootMenu), DriveModal<CBootMenuPreviewDlg>([&](CBootMenuPreviewDlg& dialog) {
                  EXPECT_FALSE(dialog.upButton().IsEnabled());
                  EXPECT_TRUE(dialog.downButton().IsEnabled());
                  // Menu foreground 1 on background 1: refused, the dialog stays.
                  dialog.ClickStrip(22 + 5);
                  EXPECT_FALSE(dialog.Accept());
                  EXPECT_EQ(LastText(), LoadResString(IDS_MENU_COLOURS_EQUAL));
                  dialog.ClickStrip(22 + 14 * 24 + 5);  // white
                  dialog.ChooseTarget(BootMenuPreview::Target::Bar);
                  dialog.ChooseBackground(true);
                  EXPECT_TRUE(dialog.cover().IsShown());
                  dialog.ClickStrip(22 + 14 * 24 + 5);  // ignored: no bright background
                  dialog.ClickStrip(22 + 3 * 24 + 5);   // red
                  dialog.ClickScreen(6 * 16 + 3);       // the second entry
                  dialog.Move(false);
                  EXPECT_TRUE(dialog.upButton().IsEnabled());
                  EXPECT_FALSE(dialog.downButton().IsEnabled());
                  EXPECT_TRUE(dialog.Accept()) << LastText();
                  return wxID_OK;
                }));
  SaveAllDisks();
  const auto after = FileBytes(spec);
  EXPECT_EQ(after[kArea + layout::AREA_MENU_COLOUR], 0x1F);
  EXPECT_EQ(after[kArea + layout::AREA_BAR_COLOUR], 0x4E);
  EXPECT_EQ(MenuOrder(*Open(spec)), (std::vector<unsigned>{0, 2, 1}));
}

TEST_F(EngineDialogsTest, ThePreviewPaintsTheEnginesCellsInTheConsoleFont) {
  const std::string spec = MakeEngineDisk("0.img", {.menu = {0, 1}});
  OpenWindow({spec});
  CBootMenuPreviewDlg dialog(frame, Copy(), *Copy().Find(0), prompt);
  ASSERT_TRUE(prompt.shown.empty()) << LastText();  // the font was found
  EXPECT_EQ(dialog.screenArea().GetClientSize(), wxSize(640, 400));
  const wxImage image = dialog.ScreenPicture();
  ASSERT_EQ(image.GetSize(), wxSize(640, 400));
  const auto colourAt = [&](int column, int row) {
    // The cell's bottom left pixel: no glyph of the lines' blanks touches it.
    const int x = column * 8;
    const int y = row * 16 + 15;
    return std::vector<int>{image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
  };
  EXPECT_EQ(colourAt(18, 5), (std::vector<int>{0x00, 0xAA, 0xAA}));  // the bar's background 3 on entry 0
  EXPECT_EQ(colourAt(18, 6), (std::vector<int>{0x00, 0x00, 0xAA}));  // the menu's background 1
  EXPECT_EQ(colourAt(2, 6), (std::vector<int>{0, 0, 0}));             // the cleared screen
  // A colour picked from the strip shows at once: the bar's background becomes red.
  dialog.ChooseTarget(BootMenuPreview::Target::Bar);
  dialog.ChooseBackground(true);
  dialog.ClickStrip(22 + 3 * 24);
  const wxImage recoloured = dialog.ScreenPicture();
  EXPECT_EQ((std::vector<int>{recoloured.GetRed(18 * 8, 5 * 16 + 15), recoloured.GetGreen(18 * 8, 5 * 16 + 15)}),
            (std::vector<int>{0xAA, 0x00}));
}

TEST_F(EngineDialogsTest, PasswordsOfAnEntryAndOfAFloppyDriveReachTheEngineArea) {
  const std::string spec = MakeEngineDisk("0.img", {.menu = {0, 1}});
  OpenWindow({spec});
  ASSERT_TRUE(Select(At(0, LevelKind::Primary, PartStart(1))));
  ASSERT_TRUE(Enabled(CommandId::Password));
  wxTEST_DIALOG(Run(CommandId::Password), DriveModal<CPasswordDlg>([&](CPasswordDlg& dialog) {
                  EXPECT_EQ(dialog.GetTitle(), "Passwort für Eintrag 1");
                  EXPECT_FALSE(dialog.protectedBox().GetValue());
                  dialog.password().ChangeValue("geheim");
                  dialog.repetition().ChangeValue("geheiM");
                  EXPECT_FALSE(dialog.Store());
                  EXPECT_EQ(LastText(), LoadResString(IDS_PASSWORDS_DIFFER));
                  dialog.repetition().ChangeValue("geheim");
                  EXPECT_TRUE(dialog.Store()) << LastText();
                  return wxID_OK;
                }));
  ASSERT_TRUE(Enabled(CommandId::FloppyPasswordB));
  wxTEST_DIALOG(Run(CommandId::FloppyPasswordB), DriveModal<CPasswordDlg>([&](CPasswordDlg& dialog) {
                  EXPECT_EQ(dialog.GetTitle(), "Passwort für 2.Diskettenlaufwerk");
                  EXPECT_EQ(dialog.protectedBox().GetLabel(), wxString::FromUTF8("Dieses Laufwerk ist bereits geschützt"));
                  dialog.password().ChangeValue("b");
                  dialog.repetition().ChangeValue("b");
                  EXPECT_TRUE(dialog.Store()) << LastText();
                  return wxID_OK;
                }));
  SaveAllDisks();
  const auto after = FileBytes(spec);
  const auto key = Bytes(after, kArea + layout::AREA_PASSWORD_KEY, 16);
  const std::size_t slots = kArea + layout::AREA_PASSWORDS;
  EXPECT_EQ(after[slots + 16], key[0] ^ 'g');  // entry 1's slot
  EXPECT_EQ(after[slots + 16 + 5], key[5] ^ 'm');
  EXPECT_EQ(after[slots], 0);                  // entry 0 has none
  EXPECT_EQ(after[slots + 13 * 16], key[0] ^ 'b');  // floppy B:
  auto reread = Open(spec);
  EXPECT_TRUE(Part(*reread, 1).passwordSet);
}

TEST_F(EngineDialogsTest, TheSelfTestChecksThenRepairsAndKeepsEveryRunsReport) {
  const std::string spec = MakeEngineDisk("0.img", {.menu = {0}});
  OpenWindow({spec});
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  ASSERT_TRUE(Enabled(CommandId::SelfTest));
  Copy().Find(0)->sector0[0x1FF] = 0;
  std::string report;
  wxTEST_DIALOG(Run(CommandId::SelfTest), DriveModal<CSelfTestDlg>([&](CSelfTestDlg& dialog) {
                  dialog.checkOnly().SetValue(true);
                  dialog.Test();
                  EXPECT_EQ(Copy().Find(0)->sector0[0x1FF], 0);  // only checked
                  EXPECT_FALSE(Copy().Find(0)->IsModified());
                  dialog.checkOnly().SetValue(false);
                  dialog.Test();
                  report = Utf8(dialog.report().GetValue());
                  return wxID_CANCEL;
                }));
  // Both runs stay in the report, the check first.
  const auto checked = report.find("Beginne Selbsttest ohne Fehlerkorrektur:\nBootstraploader");
  const auto repaired = report.find("Signatur ... mit Fehlern! ... Korregiert!\n");
  ASSERT_NE(checked, std::string::npos) << report;
  ASSERT_NE(repaired, std::string::npos) << report;
  EXPECT_LT(checked, repaired);
  EXPECT_NE(report.find("Signatur ... mit Fehlern!\nBoottabellen"), std::string::npos) << report;
  EXPECT_EQ(Copy().Find(0)->sector0[0x1FF], 0xAA);
  EXPECT_TRUE(Copy().Find(0)->IsModified());
  SaveAllDisks();
  EXPECT_EQ(Bytes(FileBytes(spec), 510, 2), (std::vector<std::uint8_t>{0x55, 0xAA}));
}

TEST_F(EngineDialogsTest, BootingWritesTheDirectBootMarkOnlyWhenConfirmed) {
  const std::string spec = MakeEngineDisk("0.img", {.menu = {0, 1}});
  const auto before = FileBytes(spec);
  OpenWindow({spec});
  ASSERT_TRUE(Select(At(0, LevelKind::Primary, PartStart(1))));
  ASSERT_TRUE(Enabled(CommandId::Boot));
  prompt.answers = {PromptAnswer::No};
  Run(CommandId::Boot);
  EXPECT_EQ(LastText(), LoadResString(IDS_START_BOOT));
  EXPECT_EQ(FileBytes(spec), before);

  ASSERT_TRUE(Select(At(0, LevelKind::Primary, PartStart(1))));
  prompt.answers = {PromptAnswer::Yes};
  Run(CommandId::Boot);
  // The restart command of the tests fails: the mark is written, the restart refused.
  EXPECT_EQ(LastText(), LoadResString(IDS_NO_SHUTDOWN_RIGHT));
  const auto after = FileBytes(spec);
  EXPECT_NE(after[layout::LOADER_DIRECT_BOOT], 0);
  EXPECT_EQ(after[layout::LOADER_DEFAULT_ENTRY], 1);
}

}  // namespace
}  // namespace korvex::test
