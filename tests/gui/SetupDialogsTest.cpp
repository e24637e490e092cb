// The installer's three dialogs under Xvfb: the main dialog's abort question and its third
// button, the install dialog that installs once and then only closes, the folder chooser, and
// the uninstall dialog; questions and messages go to a scripted prompt.
#include <wx/button.h>
#include <wx/dirdlg.h>
#include <wx/testing.h>
#include <wx/textctrl.h>

#include "wxcommon/WxText.h"
#include "platform/ProgramSettings.h"
#include "setup/SetupFixture.h"
#include "setup/SetupSettings.h"
#include "setup/dialogs/InstallDlg.h"
#include "setup/dialogs/SetupMainDlg.h"
#include "setup/dialogs/UninstallDlg.h"

namespace korvex::test {
namespace {

using setup::CInstallDlg;
using setup::CSetupMainDlg;
using setup::CUninstallDlg;

// The folder chooser, closed without a choice.
class CancelFolderChooser final : public wxExpectModalBase<wxDirDialog, CancelFolderChooser> {
 protected:
  int OnInvoked(wxDirDialog* chooser) const override {
    EXPECT_EQ(Utf8(chooser->GetMessage()), "Wählen Sie ein Verzeichnis");
    return wxID_CANCEL;
  }
};

// A dialog that must not be shown: closed at once, and the test fails.
template <class Dialog>
class NotShown final : public wxExpectModalBase<Dialog, NotShown<Dialog>> {
 protected:
  int OnInvoked(Dialog*) const override {
    ADD_FAILURE() << "the dialog was shown";
    return wxID_CANCEL;
  }
};

class SetupDialogsTest : public SetupTest {
 protected:
  static wxButton* Button(wxWindow& dialog, int id) { return wxDynamicCast(dialog.FindWindow(id), wxButton); }
  static std::string Label(wxWindow& dialog, int id) { return Utf8(Button(dialog, id)->GetLabel()); }
  static bool Enabled(wxWindow& dialog, int id) { return Button(dialog, id)->IsEnabled(); }
  // Presses an enabled button as the user would; a disabled one cannot be pressed.
  static bool Click(wxWindow& dialog, int id) {
    wxButton* button = Button(dialog, id);
    if (button == nullptr || !button->IsEnabled()) return false;
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
    return true;
  }
  // Runs steps inside the dialog's modal loop and returns how the dialog ended; a dialog that
  // the steps did not end is ended with wxID_ABORT.
  static int RunModal(wxDialog& dialog, const std::function<void()>& steps) {
    dialog.CallAfter([&] {
      steps();
      if (dialog.IsModal()) dialog.EndModal(wxID_ABORT);
    });
    return dialog.ShowModal();
  }
  static std::string LogOf(wxTextCtrl& log) { return Utf8(log.GetValue()); }
};

TEST_F(SetupDialogsTest, TheMainDialogEndsOnlyWhenTheAbortQuestionIsAnsweredYes) {
  const auto dist = StandInDistribution();
  CSetupMainDlg dialog(nullptr, Context(dist));
  EXPECT_EQ(Utf8(dialog.GetTitle()), "Korvex - Setup");
  EXPECT_EQ(RegReadString(*store, RegRoot::CurrentUser, setup::kSetupSettingsKey, "Win95Hack", "."),
            (dist / "korvex95").string());
  EXPECT_EQ(Label(dialog, setup::kInstallId), "&Installieren");
  EXPECT_EQ(Label(dialog, setup::kRemoveId), "&Entfernen");
  prompt.answers = {PromptAnswer::No, PromptAnswer::Cancel, PromptAnswer::Yes};
  bool openAfterNo = false;
  bool openAfterCancel = false;
  const int end = RunModal(dialog, [&] {
    EXPECT_TRUE(Click(dialog, setup::kQuitId));
    openAfterNo = dialog.IsModal();
    EXPECT_TRUE(Click(dialog, setup::kQuitId));
    openAfterCancel = dialog.IsModal();
    EXPECT_TRUE(Click(dialog, setup::kQuitId));
  });
  EXPECT_TRUE(openAfterNo);
  EXPECT_TRUE(openAfterCancel);
  EXPECT_EQ(end, wxID_OK);
  ASSERT_EQ(prompt.shown.size(), 3u);
  EXPECT_EQ(prompt.shown[0].text, "Wollen Sie wirklich die Installation von Korvex abbrechen?");
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Question);
  EXPECT_TRUE(prompt.shown[0].question);
}

TEST_F(SetupDialogsTest, AnInstallDialogThatWasNotCancelledTurnsAbortIntoEnd) {
  CSetupMainDlg dialog(nullptr, Context(StandInDistribution()));
  wxTEST_DIALOG(Click(dialog, setup::kInstallId), wxExpectDismissableModal<CInstallDlg>(wxID_CANCEL));
  EXPECT_EQ(Label(dialog, setup::kQuitId), "Setup a&bbrechen");
  EXPECT_TRUE(Enabled(dialog, setup::kQuitId));
  wxTEST_DIALOG(Click(dialog, setup::kInstallId), wxExpectDismissableModal<CInstallDlg>(wxID_OK));
  EXPECT_EQ(Label(dialog, setup::kQuitId), "Setup &beenden");
  EXPECT_TRUE(Enabled(dialog, setup::kQuitId));
  EXPECT_EQ(RunModal(dialog, [&] { Click(dialog, setup::kQuitId); }), wxID_OK);
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SetupDialogsTest, RemovingNeedsARecordedInstallation) {
  CSetupMainDlg dialog(nullptr, Context(StandInDistribution()));
  wxTEST_DIALOG(Click(dialog, setup::kRemoveId), NotShown<CUninstallDlg>().Optional());
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text, "\"Kann keine Korvexinstallations entdecken\n\rDeinstallation nicht möglich!\"");
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);

  ASSERT_TRUE(store->WriteString(RegRoot::CurrentUser, kSettingsKey, "Pfad", installFolder().string()));
  wxTEST_DIALOG(Click(dialog, setup::kRemoveId), wxExpectDismissableModal<CUninstallDlg>(wxID_CANCEL));
  EXPECT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(Label(dialog, setup::kQuitId), "Setup a&bbrechen");
}

TEST_F(SetupDialogsTest, TheInstallDialogInstallsOnceAndThenOnlyCloses) {
  CInstallDlg dialog(nullptr, Context(StandInDistribution()));
  EXPECT_EQ(Utf8(dialog.GetTitle()), "Installieren...");
  EXPECT_EQ(Utf8(dialog.folderEdit().GetValue()), installFolder().string());
  EXPECT_EQ(LogOf(dialog.log()), "akt. Programmverzeichnis: " + installFolder().string());
  EXPECT_EQ(Label(dialog, wxID_OK), "&Installieren");
  EXPECT_EQ(Label(dialog, wxID_CANCEL), "A&bbrechen");
  std::string afterInstall;
  bool cancelEnabled = true;
  std::string okLabel;
  const int end = RunModal(dialog, [&] {
    EXPECT_TRUE(Click(dialog, wxID_OK));
    afterInstall = LogOf(dialog.log());
    cancelEnabled = Enabled(dialog, wxID_CANCEL);
    okLabel = Label(dialog, wxID_OK);
    std::filesystem::remove(installFolder() / "korvex");
    EXPECT_TRUE(Click(dialog, wxID_OK));
  });
  EXPECT_EQ(end, wxID_OK);
  EXPECT_EQ(okLabel, "&Fertig");
  EXPECT_FALSE(cancelEnabled);
  EXPECT_TRUE(afterInstall.ends_with("\nerzeuge Eintrag im Menü\nInstallation der Progammdateien beendet."))
      << afterInstall;
  EXPECT_EQ(afterInstall.find('\r'), std::string::npos);
  // "&Fertig" installed nothing again.
  EXPECT_EQ(LogOf(dialog.log()), afterInstall);
  EXPECT_FALSE(std::filesystem::exists(installFolder() / "korvex"));
  EXPECT_TRUE(std::filesystem::exists(applications() / "korvex.desktop"));
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SetupDialogsTest, AFailedInstallLeavesOnlyCancel) {
  const auto dist = StandInDistribution();
  std::filesystem::remove(dist / "korvex");
  CInstallDlg dialog(nullptr, Context(dist));
  EXPECT_TRUE(Click(dialog, wxID_OK));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_TRUE(prompt.shown[0].text.starts_with("Das Kopieren von "));
  EXPECT_FALSE(Enabled(dialog, wxID_OK));
  EXPECT_TRUE(Enabled(dialog, wxID_CANCEL));
  EXPECT_EQ(RunModal(dialog, [&] { Click(dialog, wxID_CANCEL); }), wxID_CANCEL);
}

TEST_F(SetupDialogsTest, ARelativeFolderIsRefusedAndAChosenOneReplacesIt) {
  CInstallDlg dialog(nullptr, Context(StandInDistribution()));
  dialog.folderEdit().ChangeValue("korvex");
  EXPECT_TRUE(Click(dialog, wxID_OK));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "\"korvex\" ist kein vollständiger Pfad.\nBitte geben Sie das Programmverzeichnis beginnend mit / oder ~ "
            "an.");
  EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Stop);
  EXPECT_EQ(Label(dialog, wxID_OK), "&Installieren");
  EXPECT_TRUE(Enabled(dialog, wxID_OK));
  EXPECT_FALSE(std::filesystem::exists(home() / ".local"));

  const std::string log = LogOf(dialog.log());
  wxTEST_DIALOG(Click(dialog, setup::kBrowseId), CancelFolderChooser());
  EXPECT_EQ(Utf8(dialog.folderEdit().GetValue()), "korvex");
  EXPECT_EQ(LogOf(dialog.log()), log);
  const auto chosen = dir.path() / "Gewählt";
  dialog.TakeFolder(Wx(chosen.string()));
  EXPECT_EQ(Utf8(dialog.folderEdit().GetValue()), chosen.string());
  EXPECT_TRUE(LogOf(dialog.log()).ends_with("\nakt. Programmverzeichnis: " + chosen.string()));
}

TEST_F(SetupDialogsTest, TheUninstallDialogRemovesOnceAndThenOnlyCloses) {
  const auto dist = StandInDistribution();
  ASSERT_EQ(setup::Install(Context(dist), installFolder()), setup::InstallOutcome::Installed);
  CUninstallDlg dialog(nullptr, Context(dist), installFolder());
  EXPECT_EQ(Utf8(dialog.GetTitle()), "Deinstallieren...");
  EXPECT_EQ(Label(dialog, wxID_OK), "&Deinstallieren");
  std::string afterUninstall;
  bool cancelEnabled = true;
  const int end = RunModal(dialog, [&] {
    EXPECT_TRUE(Click(dialog, wxID_OK));
    afterUninstall = LogOf(dialog.log());
    cancelEnabled = Enabled(dialog, wxID_CANCEL);
    EXPECT_EQ(Label(dialog, wxID_OK), "&Fertig");
    EXPECT_TRUE(Click(dialog, wxID_OK));
  });
  EXPECT_EQ(end, wxID_OK);
  EXPECT_FALSE(cancelEnabled);
  EXPECT_TRUE(afterUninstall.ends_with("\nRegistryeinträge gelöscht\nDeinstallationsvorgang beendet!"))
      << afterUninstall;
  EXPECT_EQ(LogOf(dialog.log()), afterUninstall);
  EXPECT_FALSE(std::filesystem::exists(installFolder()));
  EXPECT_FALSE(std::filesystem::exists(applications() / "korvex.desktop"));
  EXPECT_FALSE(store->KeyExists(RegRoot::CurrentUser, setup::kProgramKey));
}

// "Pfad" names a folder of the user's that holds files with the programs' names but no list of
// installed files: "&Deinstallieren" refuses with a message, deletes nothing, and only
// "A&bbrechen" is left to close the dialog.
TEST_F(SetupDialogsTest, TheUninstallDialogRefusesAFolderWithoutTheListOfInstalledFiles) {
  const auto mine = dir.path() / "Eigene";
  std::filesystem::create_directories(mine);
  for (const char* name : {"korvex", "korvex-cli"}) std::ofstream(mine / name) << "meins\n";
  ASSERT_TRUE(store->WriteString(RegRoot::CurrentUser, kSettingsKey, "Pfad", mine.string()));
  CUninstallDlg dialog(nullptr, Context(StandInDistribution()), mine);
  const int end = RunModal(dialog, [&] {
    EXPECT_TRUE(Click(dialog, wxID_OK));
    EXPECT_EQ(Label(dialog, wxID_OK), "&Deinstallieren");
    EXPECT_TRUE(Click(dialog, wxID_CANCEL));
  });
  EXPECT_EQ(end, wxID_CANCEL);
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_NE(prompt.shown[0].text.find("fehlt die Liste der installierten Dateien"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(mine / "korvex"));
  EXPECT_TRUE(std::filesystem::exists(mine / "korvex-cli"));
  EXPECT_TRUE(store->KeyExists(RegRoot::CurrentUser, setup::kProgramKey));
}

}  // namespace
}  // namespace korvex::test
