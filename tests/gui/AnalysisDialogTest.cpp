// "Festplattenanalyse" opened from the disk's command on a disk whose partition table was wiped:
// the search lists the volumes, "Ansehen" shows a found boot sector in the "Sektoransicht",
// "Löschen" prunes the list and "Übernehmen" brings a volume back into the device tree.
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>

#include "analysis/VolumeSectors.h"
#include "app/AnalysisDialog.h"
#include "app/HexView.h"
#include "app/SectorViewDialog.h"
#include "gui/GuiFixture.h"
#include "gui/ModalDriver.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex::test {
namespace {

constexpr std::uint32_t kFatStart = 1008;
constexpr std::uint32_t kFatLength = 12000;
constexpr std::uint32_t kNtfsStart = 14112;
constexpr std::uint32_t kNtfsLength = 4032;

class AnalysisDialogTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    std::string error;
    image = ImageBuilder::Create(dir.File("wiped.img"), 30, 16, 63, error);
    ASSERT_TRUE(image) << error;
    fat = FatBootSector(kFatLength, 1, false, "LOSTFAT    ");
    const SectorBytes ntfs = NtfsBootSector(kNtfsLength);
    ASSERT_TRUE(image->WriteSector(kFatStart, fat));
    ASSERT_TRUE(image->WriteSector(kNtfsStart, ntfs));
    ASSERT_TRUE(image->WriteSector(kNtfsStart + kNtfsLength - 1, ntfs));
    // The table that described both is gone: sector 0 holds zeros.
    ASSERT_TRUE(image->WriteSector(0, SectorBytes{}));
    ImportCatalogue();
    ASSERT_NE(OpenWindow({image->Spec()}), nullptr) << LastText();
  }

  std::optional<ImageBuilder> image;
  SectorBytes fat{};
};

// A prompt whose cancel question stays open until the work has ended, and is then answered Yes.
class LateAnswer final : public CPrompt {
 public:
  void Message(const std::string& text, PromptIcon) override { texts.push_back(text); }
  PromptAnswer Ask(const std::string& text, PromptButtons, PromptIcon) override {
    texts.push_back(text);
    WaitForWork(*dialog);
    return PromptAnswer::Yes;
  }
  CLongWorkDlg* dialog = nullptr;
  std::vector<std::string> texts;
};

TEST_F(AnalysisDialogTest, TheSearchFindsTheVolumesShowsOneAndAdoptsOneIntoTheTree) {
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  ASSERT_TRUE(Enabled(CommandId::Analysis));
  std::vector<std::uint8_t> shown;
  wxTEST_DIALOG(Run(CommandId::Analysis),
                DriveModal<CAnalysisDlg>([&](CAnalysisDlg& dialog) {
                  EXPECT_FALSE(dialog.viewButton().IsEnabled());
                  dialog.Start();
                  EXPECT_FALSE(dialog.startButton().IsEnabled());
                  WaitForWork(dialog);
                  EXPECT_EQ(dialog.progressBar().GetValue(), dialog.progressBar().GetRange());
                  EXPECT_EQ(dialog.cancelButton().GetLabel(), "Beenden");
                  EXPECT_FALSE(dialog.startButton().IsEnabled());

                  std::vector<std::uint64_t> volumes;
                  for (const ScanHit& hit : dialog.Hits()) {
                    if (hit.DescribesVolume()) volumes.push_back(hit.range->start);
                  }
                  // The NTFS backup in the volume's last sector names its original: one volume hit each.
                  EXPECT_EQ(volumes, (std::vector<std::uint64_t>{kFatStart, kNtfsStart}));
                  // Each volume with its file system and size; the end of the search and the time
                  // it took.
                  EXPECT_TRUE(dialog.SelectHit(kFatStart));
                  EXPECT_EQ(dialog.resultTree().GetItemText(dialog.resultTree().GetSelection()),
                            "1008  FAT16 \"LOSTFAT\" 5.86 MB");
                  EXPECT_EQ(dialog.statusField()->GetValue(), "Suche beendet");
                  EXPECT_NE(dialog.remainingTimeField(), nullptr);
                  if (dialog.remainingTimeField() != nullptr) {
                    EXPECT_EQ(dialog.remainingTimeField()->GetValue(), "0:00:00");
                  }
                  // The first hit is selected, and the result buttons act on it.
                  EXPECT_TRUE(dialog.viewButton().IsEnabled());
                  SavePictureIfAsked(dialog, "analysis");

                  // "Ansehen": the boot sector as found on the disk.
                  EXPECT_TRUE(dialog.SelectHit(kFatStart));
                  wxTEST_DIALOG(dialog.ViewSelected(), DriveModal<CSectorViewDlg>([&](CSectorViewDlg& view) {
                    shown = view.hexView().model().Data();
                    SavePictureIfAsked(view, "sector-view");
                    return wxID_OK;
                  }));

                  // "Löschen": the NTFS copy leaves the list.
                  EXPECT_TRUE(dialog.SelectHit(kNtfsStart + kNtfsLength - 1));
                  EXPECT_EQ(dialog.resultTree().GetItemText(dialog.resultTree().GetSelection()),
                            "18143  Sicherungskopie des Bootsektors in Sektor 14112");
                  dialog.DeleteSelected();
                  EXPECT_FALSE(dialog.SelectHit(kNtfsStart + kNtfsLength - 1));

                  // "Übernehmen": the FAT volume comes back; a second time it overlaps itself.
                  EXPECT_TRUE(dialog.SelectHit(kFatStart));
                  EXPECT_NE(dialog.AdoptSelected(), nullptr) << LastText();
                  EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Information);
                  EXPECT_EQ(dialog.AdoptSelected(), nullptr);
                  EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);
                  return wxID_CANCEL;
                }));
  EXPECT_EQ(shown, std::vector<std::uint8_t>(fat.begin(), fat.end()));

  // The adopted volume is a partition of the tree, not yet saved.
  Settle();
  const auto adopted = FindObjectAt(Copy(), 0, LevelKind::Primary, kFatStart);
  ASSERT_TRUE(adopted);
  ASSERT_TRUE(Select(NodeRef::Object(*adopted)));
  EXPECT_EQ(Resolve(Copy(), *adopted)->object->length, kFatLength);
  EXPECT_EQ(Resolve(Copy(), *adopted)->object->type, 0x04);
  EXPECT_TRUE(Copy().AnyModified());
  EXPECT_TRUE(Enabled(CommandId::Save));
}

TEST_F(AnalysisDialogTest, ALostExtendedPartitionIsOneItemAndComesBackWithItsDrives) {
  // A chain of two logical drives behind the NTFS volume, which no table names.
  ASSERT_TRUE(image->SetEntry(19152, 0, EntrySpec{0, 0x06, 63, 4000}, 19152));
  ASSERT_TRUE(image->SetEntry(19152, 1, EntrySpec{0, 0x05, 4063, 5063}, 19152));
  ASSERT_TRUE(image->SetSignature(19152));
  ASSERT_TRUE(image->SetEntry(23215, 0, EntrySpec{0, 0x83, 63, 5000}, 23215));
  ASSERT_TRUE(image->SetSignature(23215));
  ASSERT_TRUE(image->WriteSector(19215, FatBootSector(4000, 1, false, "LOGISCH    ")));
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  wxTEST_DIALOG(Run(CommandId::Analysis), DriveModal<CAnalysisDlg>([&](CAnalysisDlg& dialog) {
    dialog.Start();
    WaitForWork(dialog);
    EXPECT_EQ(dialog.LostExtendedPartitions().size(), 1u);
    EXPECT_TRUE(dialog.SelectLostExtended(19152));
    EXPECT_EQ(dialog.resultTree().GetItemText(dialog.resultTree().GetSelection()),
              "19152  Erweiterte Partition mit 2 logischen Laufwerken 5.41 MB");
    SavePictureIfAsked(dialog, "analysis-extended");
    // A logical drive alone does not become a primary partition.
    EXPECT_TRUE(dialog.SelectHit(19215));
    EXPECT_EQ(dialog.AdoptSelected(), nullptr);
    EXPECT_EQ(prompt.shown.back().text, StrFormat(text::kAdoptInLostExtended, 19215u, 19152u));
    EXPECT_TRUE(dialog.SelectLostExtended(19152));
    EXPECT_NE(dialog.AdoptSelected(), nullptr) << LastText();
    EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Information);
    return wxID_CANCEL;
  }));
  Settle();
  EXPECT_TRUE(FindObjectAt(Copy(), 0, LevelKind::Primary, 19152));
  EXPECT_TRUE(FindObjectAt(Copy(), 0, LevelKind::Logical, 19152));
  EXPECT_TRUE(FindObjectAt(Copy(), 0, LevelKind::Logical, 23215));
}

// Clicks on the list's root item and on the dialog's background.
TEST_F(AnalysisDialogTest, AClickOnTheRootGoesToTheFirstHitAndABackgroundClickSetsTheButtons) {
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  wxTEST_DIALOG(Run(CommandId::Analysis), DriveModal<CAnalysisDlg>([&](CAnalysisDlg& dialog) {
    wxTreeCtrl& tree = dialog.resultTree();
    const wxTreeItemId root = tree.GetRootItem();
    const auto clickRoot = [&] {
      wxRect label;
      EXPECT_TRUE(tree.GetBoundingRect(root, label, true));
      wxMouseEvent click(wxEVT_LEFT_DOWN);
      click.SetPosition(label.GetPosition() + wxPoint(2, label.GetHeight() / 2));
      click.SetEventObject(&tree);
      tree.GetEventHandler()->ProcessEvent(click);
    };
    EXPECT_FALSE(dialog.ClickRoot());  // no hits yet: the root may be selected
    dialog.Start();
    WaitForWork(dialog);
    EXPECT_EQ(dialog.Hits().size(), 3u);

    tree.SelectItem(root);
    EXPECT_FALSE(dialog.viewButton().IsEnabled());
    clickRoot();
    wxTreeItemIdValue cookie;
    EXPECT_EQ(tree.GetSelection(), tree.GetFirstChild(root, cookie));  // the first hit
    EXPECT_TRUE(dialog.viewButton().IsEnabled());
    // With a hit selected, the root may be chosen as usual.
    EXPECT_TRUE(dialog.SelectHit(kNtfsStart));
    EXPECT_FALSE(dialog.ClickRoot());

    // A background click brings the buttons back in line with a selected hit.
    for (wxButton* button : {&dialog.viewButton(), &dialog.deleteButton(), &dialog.adoptButton()}) button->Disable();
    wxMouseEvent background(wxEVT_LEFT_DOWN);
    background.SetEventObject(&dialog);
    dialog.GetEventHandler()->ProcessEvent(background);
    EXPECT_TRUE(dialog.viewButton().IsEnabled());
    EXPECT_TRUE(dialog.deleteButton().IsEnabled());
    EXPECT_TRUE(dialog.adoptButton().IsEnabled());
    return wxID_CANCEL;
  }));
}

TEST_F(AnalysisDialogTest, AStoppedSearchMayStartAgainWithoutListingAHitTwice) {
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  prompt.answers = {PromptAnswer::Yes};
  wxTEST_DIALOG(Run(CommandId::Analysis), DriveModal<CAnalysisDlg>([&](CAnalysisDlg& dialog) {
    dialog.Start();
    dialog.AskToStop();
    EXPECT_FALSE(dialog.cancelButton().IsEnabled());  // greyed after the question until the end
    WaitForWork(dialog);
    EXPECT_TRUE(dialog.cancelButton().IsEnabled());
    EXPECT_TRUE(dialog.startButton().IsEnabled());
    EXPECT_EQ(dialog.cancelButton().GetLabel(), "Abbrechen");
    dialog.Start();
    WaitForWork(dialog);
    const auto hits = dialog.Hits();
    for (std::size_t i = 1; i < hits.size(); ++i) EXPECT_LT(hits[i - 1].sector, hits[i].sector);
    EXPECT_EQ(hits.size(), 3u);
    return wxID_CANCEL;
  }));
}

TEST_F(AnalysisDialogTest, AYesAfterTheSearchEndedWhileTheQuestionWasOpenLeavesTheDialogToClose) {
  LateAnswer late;
  CAnalysisDlg dialog(frame, *Copy().Find(0), late);
  late.dialog = &dialog;
  dialog.Start();
  dialog.AskToStop();
  EXPECT_EQ(late.texts.front(), text::kCancelWorkQuestion);
  EXPECT_FALSE(dialog.Running());
  EXPECT_TRUE(dialog.cancelButton().IsEnabled());
  EXPECT_EQ(dialog.cancelButton().GetLabel(), "Beenden");  // the search was complete
  EXPECT_EQ(dialog.Hits().size(), 3u);
}

}  // namespace
}  // namespace korvex::test
