// The main window as a new user meets it: tree labels that name type, partition and file
// system on a disk made by sfdisk and mkfs, the disk map with its boxes and clicks, the window's
// size and place kept across two starts, and the keys that reach the context menu, the deletion
// and the reload.
#include <wx/menu.h>
#include <wx/splitter.h>
#include <wx/tooltip.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/DiskMap.h"
#include "app/PartView.h"
#include "gui/GuiFixture.h"
#include "gui/ModalDriver.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "shell/WindowPlacement.h"
#include "wxcommon/WxText.h"

namespace korvex::test {
namespace {

constexpr std::uint32_t kMiB = 2048;  // sectors

class WindowLayoutTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ImportCatalogue();
  }
  // A 128 MiB image partitioned by sfdisk: FAT32, NTFS and an extended partition whose
  // logical drives hold ext4 and swap, each made by its own mkfs.
  std::string FormattedDisk() {
    const std::string path = dir.File("formatted.img");
    std::ofstream(path).close();
    std::filesystem::resize_file(path, 128ull << 20);
    Shell("printf 'label: dos\\nstart=1MiB, size=36MiB, type=c\\nsize=16MiB, type=7\\nsize=60MiB, type=5\\n"
          "start=54MiB, size=16MiB, type=83\\nstart=71MiB, size=8MiB, type=82\\n' | "
          "sfdisk --no-reread --no-tell-kernel -q " + path);
    Volume(path, "mkfs.fat -F 32 -n DATEN", 1, 36);
    Volume(path, "mkntfs -q -F -Q -L Windows", 37, 16);
    Volume(path, "mkfs.ext4 -q -F -L home", 54, 16);
    Volume(path, "mkswap -L auslagern", 71, 8);
    return path;
  }
  void Shell(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }
  // A file system made by mkfs in a file of its own, then copied into the image at startMiB.
  void Volume(const std::string& image, const std::string& mkfs, unsigned startMiB, unsigned sizeMiB) {
    const std::string volume = dir.File("volume");
    std::filesystem::remove(volume);
    std::ofstream(volume).close();
    std::filesystem::resize_file(volume, std::uint64_t{sizeMiB} << 20);
    Shell(mkfs + " " + volume + " >/dev/null 2>&1");
    Shell("dd if=" + volume + " of=" + image + " bs=1M seek=" + std::to_string(startMiB) +
          " conv=notrunc,sparse status=none");
  }
  // A disk of 22 logical drives of 41 MiB each behind a Linux partition.
  std::string ManyDrivesDisk() {
    std::string error;
    auto image = ImageBuilder::Create(dir.File("many.img"), 1300, 255, 63, error);
    EXPECT_TRUE(image) << error;
    const std::uint32_t cylinder = 255 * 63;
    EXPECT_TRUE(image->AddPrimary(0, 0x83, 63, 200 * cylinder - 63));
    std::vector<LogicalSpec> drives;
    for (std::uint32_t i = 0; i < 22; ++i) {
      const std::uint32_t ebr = (200 + 5 * i) * cylinder;
      drives.push_back({ebr, ebr + 63, 5 * cylinder - 63, 0x83});
    }
    EXPECT_TRUE(image->AddExtended(1, 0x0F, 200 * cylinder, 110 * cylinder, drives));
    return image->Spec();
  }
  CDiskMap& Map() { return frame->diskMap(); }
  // The box of the map that shows ref.
  const DiskMapBox* BoxOf(const NodeRef& ref) {
    for (const DiskMapBox& box : Map().boxes()) {
      if (box.node->ref == ref) return &box;
    }
    return nullptr;
  }
  // A key pressed while the window (or the tree) has the focus.
  static void Press(wxWindow& target, int key, int modifiers = wxMOD_NONE) {
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = key;
    event.m_shiftDown = (modifiers & wxMOD_SHIFT) != 0;
    event.SetEventObject(&target);
    target.ProcessWindowEvent(event);
    Settle();
  }
};

TEST_F(WindowLayoutTest, LabelsNameTypePartitionAndFileSystemOfAnSfdiskAndMkfsDisk) {
  OpenWindow({FormattedDisk()});
  ASSERT_NE(frame, nullptr);
  const CDeviceView& tree = frame->deviceView();
  EXPECT_EQ(tree.LabelOf(At(0, LevelKind::Primary, 1 * kMiB)), "Typ 12  36.00 MB  FAT32 (LBA)  Nr. 1  FAT32 'DATEN'");
  EXPECT_EQ(tree.LabelOf(At(0, LevelKind::Primary, 37 * kMiB)), "Typ 7  16.00 MB  NTFS/HPFS  Nr. 2  NTFS 'Windows'");
  EXPECT_EQ(tree.LabelOf(At(0, LevelKind::Primary, 53 * kMiB)), "Typ 5  60.00 MB  Erweitert  Nr. 3");
  EXPECT_EQ(tree.LabelOf(At(0, LevelKind::Logical, 53 * kMiB)), "Typ 131  17.00 MB  Linux  Nr. 5  ext4 'home'");
  EXPECT_EQ(tree.LabelOf(At(0, LevelKind::Logical, 70 * kMiB)), "Typ 130  9.00 MB  Linux Swap  Nr. 6  swap 'auslagern'");

  // The tree pane is wide enough for every label, and so is the window at its first start.
  const wxSplitterWindow& splitter = frame->splitter();
  EXPECT_GE(splitter.GetSashPosition(), tree.BestLabelWidth());
  EXPECT_GE(tree.BestLabelWidth(), tree.GetTextExtent(Wx(*tree.LabelOf(At(0, LevelKind::Logical, 70 * kMiB)))).x);
  // At least 1024 × 640, no wider than the screen.
  EXPECT_GE(frame->GetSize().x, 1024);
  EXPECT_LE(frame->GetSize().x, wxGetDisplaySize().x);
  EXPECT_EQ(frame->GetSize().y, 640);
  ASSERT_TRUE(Select(At(0, LevelKind::Logical, 53 * kMiB)));
  SaveFramePictureIfAsked("main-formatted");
}

TEST_F(WindowLayoutTest, TheDiskMapsBoxesFollowTheLayoutAndAClickSelectsTheirNode) {
  OpenWindow({}, true);
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(Map().IsShown());  // the computer has no disk to show
  const NodeRef drive = At(0, LevelKind::Logical, 1814400);
  const NodeRef extended = *frame->deviceView().ParentOf(drive);
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  ASSERT_TRUE(Map().IsShown());
  EXPECT_GT(Map().GetSize().x, 300);

  // Every object of the disk has its box; the primary level fills the bar in start order, in
  // proportion to the sizes, the drives lie inside the extended partition's box.
  const CHardDisk& disk = *Copy().Find(0);
  ASSERT_EQ(Map().boxes().size(), disk.primary.size() + disk.logical.size());
  const int width = Map().GetClientSize().x;
  std::uint64_t total = 0;
  for (const auto& item : disk.primary.items()) total += item.object->length;
  int x = 0;
  for (const auto& item : disk.primary.items()) {
    const DiskMapBox* box = BoxOf(NodeRef::Object({0, LevelKind::Primary, item.key}));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->x, x);
    EXPECT_NEAR(box->width, static_cast<double>(width) * item.object->length / total, 13.0);
    x += box->width;
  }
  EXPECT_EQ(x, width);
  const DiskMapBox* frameBox = BoxOf(extended);
  const DiskMapBox* driveBox = BoxOf(drive);
  ASSERT_TRUE(frameBox && driveBox);
  EXPECT_GT(driveBox->x, frameBox->x);
  EXPECT_LT(driveBox->x + driveBox->width, frameBox->x + frameBox->width);

  // A click on the drive's box selects the drive in the tree and shows its form.
  Map().ClickAt(wxPoint(driveBox->x + driveBox->width / 2, driveBox->y + driveBox->height / 2));
  Settle();
  EXPECT_EQ(Selected(), drive);
  EXPECT_EQ(PaneKind(), RightPane::PartitionForm);
  ASSERT_TRUE(Map().IsShown());  // above the partition's form too
  SaveFramePictureIfAsked("main-demo-drive");

  // With the form's edits pending, the question comes first; Abbrechen keeps the drive.
  PaneAs<CPartView>().field(CPartView::Length)->ChangeValue("100");
  prompt.answers = {PromptAnswer::Cancel};
  const DiskMapBox* first = BoxOf(At(0, LevelKind::Primary, 63));
  ASSERT_NE(first, nullptr);
  Map().ClickAt(wxPoint(first->x + 2, first->y + first->height / 2));
  Settle();
  EXPECT_EQ(LastText(), LoadResString(IDS_APPLY_CHANGES));
  EXPECT_EQ(Selected(), drive);
}

TEST_F(WindowLayoutTest, TwentyTwoLogicalDrivesEachHaveABoxAndAWholeLabel) {
  OpenWindow({ManyDrivesDisk()});
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(Select(At(0, LevelKind::Logical, 210 * 255 * 63)));
  EXPECT_EQ(Copy().Find(0)->logical.Used().size(), 22u);
  int drives = 0;
  for (const DiskMapBox& box : Map().boxes()) {
    if (box.depth != 1) continue;
    ++drives;
    EXPECT_GE(box.width, frame->FromDIP(12));
  }
  EXPECT_EQ(drives, 22);
  EXPECT_EQ(frame->deviceView().LabelOf(*Selected()), "Typ 131  39.22 MB  Linux  Nr. 7");
  EXPECT_GE(frame->splitter().GetSashPosition(), frame->deviceView().BestLabelWidth());
  SaveFramePictureIfAsked("main-22-drives");
}

TEST_F(WindowLayoutTest, SizePlaceAndTreeWidthAreKeptAcrossTwoStarts) {
  OpenWindow({}, true);
  ASSERT_NE(frame, nullptr);
  frame->SetSize(60, 70, 900, 600);
  frame->splitter().SetSashPosition(333);
  Settle();
  EXPECT_TRUE(frame->Close());
  frame = nullptr;
  Settle();

  OpenWindow({}, true);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetRect(), wxRect(60, 70, 900, 600));
  EXPECT_EQ(frame->splitter().GetSashPosition(), 333);
  // Growing the window grows the tree pane too.
  frame->SetSize(1000, 600);
  frame->splitter().UpdateSize();
  EXPECT_GT(frame->splitter().GetSashPosition(), 333);
  CloseFrame();

  // A place off the screen (a second screen that is gone) comes back on it, whole.
  std::string error;
  auto store = OpenRegistryStore(DefaultUserHivePath(), DeviceList{}, "", error);
  ASSERT_TRUE(store) << error;
  ASSERT_TRUE(StoreWindowPlacement(*store, {{3000, -500, 900, 600}, false, 250}));
  OpenWindow({}, true);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetRect(), wxRect(1024 - 900, 0, 900, 600));
}

// The pointer over a node shows its whole label as tool tip; while the node's context menu is
// open there is none (it would lie over the menu), and the next move brings it back.
TEST_F(WindowLayoutTest, TheToolTipNamesTheNodeUnderThePointerButNeverCoversItsMenu) {
  OpenWindow({}, true);
  ASSERT_NE(frame, nullptr);
  frame->Raise();
  const auto wait = [] {
    for (int i = 0; i < 40; ++i) {
      wxTheApp->Yield(true);
      wxMilliSleep(5);
    }
  };
  wait();
  CDeviceView& tree = frame->deviceView();
  wxWindow& rows = *tree.GetMainWindow();
  const wxDataViewItem third = tree.GetNthChild(tree.GetNthChild(tree.GetNthChild(wxDataViewItem(), 0), 0), 0);
  const wxRect rect = tree.GetItemRect(third);
  wxUIActionSimulator pointer;
  for (const int dx : {0, 4}) {
    pointer.MouseMove(rows.ClientToScreen(rect.GetPosition() + wxPoint(30 + dx, rect.height / 2)));
    wait();
  }
  ASSERT_NE(rows.GetToolTip(), nullptr);
  EXPECT_EQ(Utf8(rows.GetToolTip()->GetTip()), tree.GetItemText(third).utf8_string());

  bool tipOverMenu = true;
  tree.presentMenu = [&](wxMenu&, const wxPoint&) { tipOverMenu = rows.GetToolTip() != nullptr; };
  ASSERT_TRUE(Select(At(0, LevelKind::Primary, 63)));
  tree.ShowContextMenu(wxDefaultPosition);
  EXPECT_FALSE(tipOverMenu);
  pointer.MouseMove(rows.ClientToScreen(rect.GetPosition() + wxPoint(40, rect.height / 2)));
  wait();
  EXPECT_NE(rows.GetToolTip(), nullptr);
}

TEST_F(WindowLayoutTest, ShiftF10AndTheMenuKeyOpenTheContextMenuDeleteAndF5TheirCommands) {
  OpenWindow({}, true);
  ASSERT_NE(frame, nullptr);
  CDeviceView& tree = frame->deviceView();
  std::vector<std::string> shown;
  bool tipOverMenu = false;
  tree.presentMenu = [&](wxMenu& menu, const wxPoint&) {
    shown.push_back(Utf8(menu.FindItemByPosition(0)->GetItemLabel()));
    tipOverMenu = tipOverMenu || tree.GetMainWindow()->GetToolTip() != nullptr;
  };
  const NodeRef drive = At(0, LevelKind::Logical, 1814400);
  ASSERT_TRUE(Select(drive));
  tree.GetMainWindow()->SetToolTip(Wx("Tipp"));  // as the pointer left it over a node
  Press(tree, WXK_F10, wxMOD_SHIFT);
  Press(tree, WXK_WINDOWS_MENU);
  Press(tree, WXK_MENU);
  EXPECT_EQ(shown, (std::vector<std::string>(3, "Ak&tivieren")));
  EXPECT_FALSE(tipOverMenu);
  Press(tree, WXK_F10);  // without Shift: nothing
  EXPECT_EQ(shown.size(), 3u);

  // Delete asks the delete command's question, with "Nein" as the default; Nein keeps it.
  prompt.answers = {PromptAnswer::No};
  Press(tree, WXK_DELETE);
  EXPECT_EQ(LastText(), text::kDeletePartition);
  EXPECT_EQ(prompt.shown.back().buttons, PromptButtons::YesNoDefaultNo);
  EXPECT_TRUE(Resolve(Copy(), drive.object)->object->InPartitionTable());
  prompt.answers = {PromptAnswer::Yes};
  Press(tree, WXK_DELETE);
  EXPECT_TRUE(Copy().Find(0)->IsModified());
  EXPECT_EQ(Copy().Find(0)->logical.Used().size(), 2u);

  // F5 reloads: with unsaved changes only after the question, whose default is "Nein".
  prompt.answers = {PromptAnswer::No};
  Press(*frame, WXK_F5);
  EXPECT_EQ(LastText(), LoadResString(IDS_DISCARD_CHANGES));
  EXPECT_EQ(prompt.shown.back().buttons, PromptButtons::YesNoDefaultNo);
  EXPECT_TRUE(Copy().Find(0)->IsModified());
  prompt.answers = {PromptAnswer::Yes};
  Press(*frame, WXK_F5);
  EXPECT_FALSE(Copy().AnyModified());
  EXPECT_EQ(Copy().Find(0)->logical.Used().size(), 3u);

  // Closing with unsaved changes asks with "Nein" as the default too.
  ASSERT_TRUE(Select(drive));
  prompt.answers = {PromptAnswer::Yes};
  Press(tree, WXK_DELETE);
  prompt.answers = {PromptAnswer::No};
  EXPECT_FALSE(frame->Close());
  EXPECT_EQ(prompt.shown.back().buttons, PromptButtons::YesNoDefaultNo);
  prompt.answers = {PromptAnswer::Yes};
  EXPECT_TRUE(frame->Close());
  frame = nullptr;
  Settle();
}

}  // namespace
}  // namespace korvex::test
