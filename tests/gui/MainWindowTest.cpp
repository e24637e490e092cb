// The main window: start-up with and without a catalogue, the command states as the selection
// moves, the question about pending form changes, the close check, the reload of one disk, the
// overview's boot settings and a picture of the window.
#include <wx/choice.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <set>

#include "wxcommon/GuiPrompt.h"
#include "app/OverView.h"
#include "app/PartView.h"
#include "app/Screenshot.h"
#include "bootengine/EngineConfig.h"
#include "gui/GuiFixture.h"
#include "gui/ModalDriver.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex::test {
namespace {

class MainWindowTest : public GuiTest {
 protected:
  // A disk without the engine: an active partition and a type-15 extended partition with two
  // logical drives.
  std::string PlainDisk(const std::string& name) {
    std::string error;
    auto image = ImageBuilder::Create(dir.File(name), 30, 16, 63, error);
    EXPECT_TRUE(image->AddPrimary(0, 0x07, 63, 2016 - 63, true));
    EXPECT_TRUE(image->AddExtended(1, 0x0F, 2016, 8064, {{2016, 2079, 1953}, {4032, 4095, 3969}}));
    return image->Spec();
  }
};

TEST_F(MainWindowTest, StartsOnlyWithACatalogueAndThenShowsTheDemoSet) {
  EXPECT_EQ(OpenWindow({}, true), nullptr);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text.rfind(LoadResString(IDS_NO_PARTITION_TYPES), 0), 0u) << prompt.shown[0].text;
  EXPECT_NE(prompt.shown[0].text.find("korvex-cli registry ensure-catalogue"), std::string::npos);
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
  EXPECT_TRUE(wxTopLevelWindows.IsEmpty());

  ImportCatalogue();
  ASSERT_NE(OpenWindow({}, true), nullptr);
  EXPECT_EQ(Copy().disks().size(), 2u);
  EXPECT_EQ(frame->GetSize(), wxSize(1024, 640));  // the least first size, on a 1024 × 768 screen
  EXPECT_EQ(frame->GetTitle(), wxString::FromUTF8("Festplattenmanager - korvex"));
  EXPECT_EQ(frame->deviceView().ChildCount(NodeRef::Computer()), 2);
  EXPECT_EQ(PaneKind(), RightPane::SystemInfo);
}

TEST_F(MainWindowTest, CommandStatesFollowTheSelection) {
  ImportCatalogue();
  OpenWindow({MakeEngineDisk("0.img", {.menu = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, .table = {{12, 0}}}),
        PlainDisk("1.img")});
  ASSERT_NE(frame, nullptr);

  // The computer: no disk, so nothing that needs one; its "Speichern" follows the save of all.
  ASSERT_TRUE(Select(NodeRef::Computer()));
  EXPECT_FALSE(Enabled(CommandId::BootManager) || Enabled(CommandId::SelfTest) || Enabled(CommandId::BootMenu));
  EXPECT_FALSE(Enabled(CommandId::Save) || Enabled(CommandId::SaveDisk));
  EXPECT_TRUE(Enabled(CommandId::Reload) && Enabled(CommandId::PartitionTypes) && Enabled(CommandId::About));

  // Twelve menu entries: no thirteenth, whether saved or not yet (NewMenu); with eleven, yes.
  const NodeRef data = At(0, LevelKind::Primary, PartStart(12));
  ASSERT_TRUE(Select(data));
  EXPECT_EQ(PaneKind(), RightPane::PartitionForm);
  EXPECT_FALSE(Enabled(CommandId::MenuAdd));
  EXPECT_TRUE(Enabled(CommandId::Delete) && Enabled(CommandId::Check) && Enabled(CommandId::AbsoluteToRelative));
  Part(*Copy().Find(0), 11).state = PartitionState::NewMenu;
  Settle();
  EXPECT_FALSE(Enabled(CommandId::MenuAdd));
  Part(*Copy().Find(0), 11).state = PartitionState::Table;
  Settle();
  EXPECT_TRUE(Enabled(CommandId::MenuAdd));

  // A logical drive has no boot indicator: neither "Aktivieren" nor "Deaktivieren"; the active
  // partition itself can be deactivated.
  ASSERT_TRUE(Select(At(1, LevelKind::Logical, 4032)));
  EXPECT_FALSE(Enabled(CommandId::MenuAdd) || Enabled(CommandId::Activate) || Enabled(CommandId::Password));
  EXPECT_FALSE(Enabled(CommandId::Deactivate));
  ASSERT_TRUE(Select(At(1, LevelKind::Primary, 63)));
  EXPECT_TRUE(Enabled(CommandId::Deactivate));
  EXPECT_FALSE(Enabled(CommandId::Activate));

  // The disk's dialogs are enabled as the table says.
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  EXPECT_EQ(PaneKind(), RightPane::Overview);
  EXPECT_TRUE(Enabled(CommandId::SelfTest) && Enabled(CommandId::BootManager) && Enabled(CommandId::BootMenu));
  EXPECT_TRUE(Enabled(CommandId::Analysis));

  // Once a disk is modified, the computer node's "Speichern" is enabled with the save of all.
  ASSERT_TRUE(Select(NodeRef::Computer()));
  Copy().Find(1)->MarkModified();
  Settle();
  EXPECT_TRUE(Enabled(CommandId::Save) && Enabled(CommandId::SaveDisk));
}

TEST_F(MainWindowTest, PendingFormChangesAreAskedForWhenTheSelectionMoves) {
  ImportCatalogue();
  OpenWindow({PlainDisk("0.img")});
  ASSERT_NE(frame, nullptr);
  const NodeRef drive = At(0, LevelKind::Logical, 4032);
  ASSERT_TRUE(Select(drive));
  EXPECT_FALSE(Enabled(CommandId::Apply));
  // A shorter drive, the end position derived from it: a change the checks accept.
  PaneAs<CPartView>().field(CPartView::Length)->ChangeValue("2000");
  Run(CommandId::RelativeToAbsolute);
  EXPECT_TRUE(Enabled(CommandId::Apply));

  prompt.answers = {PromptAnswer::Cancel};
  EXPECT_FALSE(Select(NodeRef::Disk(0)));
  EXPECT_EQ(Selected(), drive);
  EXPECT_EQ(PaneAs<CPartView>().field(CPartView::Length)->GetValue(), "2000");

  prompt.answers = {PromptAnswer::Yes};  // applied; the form stays to show the result
  EXPECT_FALSE(Select(NodeRef::Disk(0)));
  EXPECT_EQ(Selected(), drive);
  EXPECT_EQ(Resolve(Copy(), drive.object)->object->length, 2000u);
  EXPECT_TRUE(Copy().Find(0)->IsModified());
  EXPECT_FALSE(Enabled(CommandId::Apply));

  PaneAs<CPartView>().field(CPartView::Length)->ChangeValue("1000");
  prompt.answers = {PromptAnswer::No};  // dropped
  EXPECT_TRUE(Select(NodeRef::Disk(0)));
  EXPECT_EQ(Resolve(Copy(), drive.object)->object->length, 2000u);
  EXPECT_EQ(prompt.shown.size(), 3u);
  EXPECT_EQ(prompt.shown.back().text, LoadResString(IDS_APPLY_CHANGES));

  // A change elsewhere rebuilds the views, but a form with edits keeps what the user typed.
  ASSERT_TRUE(Select(drive));
  PaneAs<CPartView>().field(CPartView::Length)->ChangeValue("1500");
  Copy().Find(0)->MarkModified();
  Settle();
  EXPECT_EQ(PaneAs<CPartView>().field(CPartView::Length)->GetValue(), "1500");
}

TEST_F(MainWindowTest, CloseAsksWhileChangesAreUnsavedAndOnlyYesCloses) {
  ImportCatalogue();
  OpenWindow({PlainDisk("0.img")});
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(Select(At(0, LevelKind::Primary, 63)));
  Run(CommandId::Deactivate);
  ASSERT_TRUE(Copy().Find(0)->IsModified());

  for (const PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Cancel}) {
    prompt.answers = {answer};
    EXPECT_FALSE(frame->Close());
    Settle();
    EXPECT_EQ(wxTopLevelWindows.GetCount(), 1u);
  }
  prompt.answers = {PromptAnswer::Yes};
  EXPECT_TRUE(frame->Close());
  frame = nullptr;
  Settle();
  EXPECT_TRUE(wxTopLevelWindows.IsEmpty());
  EXPECT_EQ(prompt.shown.back().text, LoadResString(IDS_DISCARD_CHANGES));
}

TEST_F(MainWindowTest, ReloadingOneOfThreeDisksKeepsTheOthersEdits) {
  ImportCatalogue();
  OpenWindow({PlainDisk("0.img"), PlainDisk("1.img"), PlainDisk("2.img")});
  ASSERT_NE(frame, nullptr);
  for (unsigned device = 0; device < 3; ++device) {
    ASSERT_TRUE(Select(At(device, LevelKind::Primary, 63)));
    Run(CommandId::Deactivate);
  }
  ASSERT_TRUE(Select(NodeRef::Disk(1)));
  Run(CommandId::ReloadDisk);
  EXPECT_TRUE(Copy().Find(0)->IsModified() && Copy().Find(2)->IsModified());
  EXPECT_FALSE(Copy().Find(1)->IsModified());
  EXPECT_TRUE(Resolve(Copy(), At(1, LevelKind::Primary, 63).object)->object->IsActiveTable());
  EXPECT_FALSE(Resolve(Copy(), At(2, LevelKind::Primary, 63).object)->object->IsActiveTable());
  EXPECT_EQ(Selected(), NodeRef::Disk(1));

  // The computer node's "Wiederherstellen" reloads every disk, after the question.
  ASSERT_TRUE(Select(NodeRef::Computer()));
  prompt.answers = {PromptAnswer::Yes};
  Run(CommandId::ReloadDisk);
  EXPECT_EQ(LastText(), LoadResString(IDS_DISCARD_CHANGES));
  EXPECT_FALSE(Copy().AnyModified());
}

// A disk beyond 65535 cylinders: the overview shows the true count and never complains, since
// its geometry fields are not read back.
TEST_F(MainWindowTest, TheOverviewOfAVeryLargeDiskShowsItsTrueGeometryQuietly) {
  ImportCatalogue();
  std::string error;
  auto image = ImageBuilder::Create(dir.File("big.img"), 70000, 255, 63, error);
  ASSERT_TRUE(image) << error;
  OpenWindow({image->Spec()});
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  Settle();
  EXPECT_FALSE(Enabled(CommandId::Apply));
  auto* cylinders = dynamic_cast<wxTextCtrl*>(frame->FindWindowByName(wxString::FromUTF8("Anzahl der Spuren:"), frame));
  ASSERT_NE(cylinders, nullptr);
  EXPECT_EQ(cylinders->GetValue(), "70000");
  // Counted from 1, as the system information lists it ("1.Festplatte").
  auto* number = dynamic_cast<wxTextCtrl*>(frame->FindWindowByName("Festplatte:", frame));
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->GetValue(), "1");
  EXPECT_TRUE(Select(NodeRef::Computer()));
  EXPECT_TRUE(prompt.shown.empty());
}

// Seconds above 99 are refused before anything changes; the default entry is chosen by object,
// so of two entries with one title only the chosen one gets the mark.
TEST_F(MainWindowTest, OverviewAppliesTheBootSettingsOfTheChosenEntry) {
  ImportCatalogue();
  const std::string spec = MakeEngineDisk("0.img", {.menu = {0, 1, 2}});
  {
    auto disk = Open(spec);
    Part(*disk, 2).SetTitle("Eintrag 1");
    SaveAndReopen(*disk, spec);
  }
  OpenWindow({spec});
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  auto& overview = PaneAs<COverView>();
  ASSERT_NE(overview.choiceBox(), nullptr);
  ASSERT_EQ(overview.choiceBox()->GetCount(), 4u);  // three entries and the entry booted last
  EXPECT_FALSE(Enabled(CommandId::Apply));

  overview.secondsField()->ChangeValue("120");
  EXPECT_TRUE(Enabled(CommandId::Apply));
  Run(CommandId::Apply);
  EXPECT_EQ(LastText(), StrFormat(text::kTimeoutTooLong, 120u));
  EXPECT_FALSE(Copy().Find(0)->IsModified());

  overview.choiceBox()->SetSelection(2);
  overview.secondsField()->ChangeValue("15");
  overview.autoBootButton()->SetValue(true);
  Run(CommandId::Apply);
  const CHardDisk& disk = *Copy().Find(0);
  EXPECT_EQ(disk.engineArea[layout::AREA_TIMEOUT], 0x15);
  EXPECT_TRUE(ReadEngineConfig(disk).autoboot);
  EXPECT_EQ(Defaults(disk), std::vector<unsigned>{2});
  EXPECT_FALSE(Enabled(CommandId::Apply));  // the new overview shows what was applied
}

TEST_F(MainWindowTest, APictureOfTheMainWindowOnTheDemoSetIsNotBlank) {
  ImportCatalogue();
  OpenWindow({}, true);
  ASSERT_NE(frame, nullptr);
  const std::string file = dir.File("main.png");
  // On a loaded machine the first paint can come late: the window gets up to two seconds.
  std::set<unsigned> colours;
  for (int attempt = 0; attempt < 20 && colours.size() <= 20; ++attempt) {
    wxYield();
    wxMilliSleep(100);
    wxYield();
    ASSERT_TRUE(SaveWindowPicture(*frame, file));
    wxImage image;
    ASSERT_TRUE(image.LoadFile(file, wxBITMAP_TYPE_PNG));
    EXPECT_EQ(image.GetSize(), frame->GetSize());
    colours.clear();
    for (int y = 0; y < image.GetHeight(); y += 3) {
      for (int x = 0; x < image.GetWidth(); x += 3) {
        colours.insert(image.GetRed(x, y) << 16 | image.GetGreen(x, y) << 8 | image.GetBlue(x, y));
      }
    }
  }
  EXPECT_GT(colours.size(), 20u);  // texts, icons and controls, not one flat colour
}

TEST_F(MainWindowTest, TheWindowCarriesTheProgramsIconAndTheAboutBoxTheBuildsVersion) {
  ImportCatalogue();
  OpenWindow({}, true);
  ASSERT_NE(frame, nullptr);
  const wxIconBundle& icons = frame->GetIcons();
  ASSERT_EQ(icons.GetIconCount(), 7u);  // 16, 24, 32, 48, 64, 128 and 256 pixels
  const wxIcon small = icons.GetIconOfExactSize(wxSize(16, 16));
  ASSERT_TRUE(small.IsOk());
  const wxImage pixels = wxBitmap(small).ConvertToImage();
  int drawn = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) drawn += !pixels.HasAlpha() || pixels.GetAlpha(x, y) > 0;
  }
  EXPECT_GT(drawn, 100) << "the drawing, not an empty square";

  std::vector<std::string> labels;
  wxTEST_DIALOG(Run(CommandId::About), DriveModal<wxDialog>([&](wxDialog& about) {
                  for (const wxWindow* child : about.GetChildren()) {
                    if (const auto* text = dynamic_cast<const wxStaticText*>(child)) {
                      labels.push_back(text->GetLabel().utf8_string());
                    }
                  }
                  return wxID_OK;
                }));
  EXPECT_NE(std::find(labels.begin(), labels.end(), "Korvex " KORVEX_PROJECT_VERSION), labels.end());
}

// The message boxes of the core's questions: "Nein" is the default button exactly when the
// question says so (the restart after a save), so that Enter pressed in passing answers No.
TEST_F(MainWindowTest, AQuestionWhoseDefaultIsNoHasNeinAsItsDefaultButton) {
  GuiPrompt boxes;
  for (const PromptButtons buttons : {PromptButtons::YesNoDefaultNo, PromptButtons::YesNo}) {
    PromptAnswer answer = PromptAnswer::Cancel;
    wxTEST_DIALOG(answer = boxes.Ask(LoadResString(IDS_RESTART_NOW), buttons, PromptIcon::Question),
                  DriveModal<wxMessageDialog>([&](wxMessageDialog& box) {
                    EXPECT_EQ((box.GetMessageDialogStyle() & wxNO_DEFAULT) != 0,
                              buttons == PromptButtons::YesNoDefaultNo);
                    return wxID_NO;
                  }));
    EXPECT_EQ(answer, PromptAnswer::No);
  }
}

}  // namespace
}  // namespace korvex::test
