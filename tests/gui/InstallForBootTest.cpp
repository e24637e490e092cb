// The engine installed, ordered and coloured through the dialogs alone, and the screen the boot
// menu preview shows for the saved disk. The boot test test_dialog_install.py runs this test on
// its own image (KORVEX_DIALOG_DISK, IMAGE@HEADSxSECTORS) and keeps the preview's cells
// (KORVEX_DIALOG_SCREEN: character and attribute per cell, as VGA text memory holds them) to
// hold them against the engine's screen at boot; on its own it works on an image it makes.
#include <wx/checkbox.h>

#include <cstdlib>
#include <fstream>

#include "EngineLayout.h"
#include "app/BootMenuPreviewDialog.h"
#include "app/InstallEngineDialog.h"
#include "gui/GuiFixture.h"
#include "gui/ModalDriver.h"
#include "platform/StringTable.h"

namespace korvex::test {
namespace {

class InstallForBootTest : public GuiTest {
 protected:
  static std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
  }
  // Three FAT16 partitions of one cylinder each, from cylinder 1 on.
  std::string OwnDisk() {
    std::string error;
    auto image = ImageBuilder::Create(dir.File("0.img"), 16, 16, 63, error);
    EXPECT_TRUE(image) << error;
    for (std::uint8_t k = 0; k < 3; ++k) EXPECT_TRUE(image->AddPrimary(k, 0x06, 1008u * (k + 1), 1008, false));
    return image->Spec();
  }
};

TEST_F(InstallForBootTest, ThreeEntriesReorderedAndRecolouredThroughTheDialogs) {
  ImportCatalogue();
  const std::string spec = Variable("KORVEX_DIALOG_DISK").empty() ? OwnDisk() : Variable("KORVEX_DIALOG_DISK");
  OpenWindow({spec});
  ASSERT_NE(frame, nullptr) << LastText();
  ASSERT_TRUE(Select(NodeRef::Disk(0)));
  prompt.answers = {PromptAnswer::Yes};  // no backup file
  wxTEST_DIALOG(Run(CommandId::BootManager), DriveModal<CInstallEngineDlg>([&](CInstallEngineDlg& dialog) {
                  // Every partition offered (the free area before them is not).
                  for (wxCheckBox* choice : dialog.choices()) choice->SetValue(choice->IsEnabled());
                  EXPECT_TRUE(dialog.Install()) << LastText();
                  return wxID_OK;
                }));
  ASSERT_TRUE(Copy().Find(0)->EngineInstalled()) << LastText();
  std::vector<std::uint32_t> before;
  for (const CPartition* entry : Copy().Find(0)->MenuObjectsBySlot()) before.push_back(entry->start);
  ASSERT_EQ(before.size(), 3u) << ::testing::PrintToString(prompt.Texts());

  // Yellow menu text, a green bar, the first entry moved to the end.
  wxTEST_DIALOG(Run(CommandId::BootMenu), DriveModal<CBootMenuPreviewDlg>([&](CBootMenuPreviewDlg& dialog) {
                  dialog.ClickStrip(22 + 13 * 24);
                  dialog.ChooseTarget(BootMenuPreview::Target::Bar);
                  dialog.ChooseBackground(true);
                  dialog.ClickStrip(22 + 1 * 24);
                  dialog.ClickScreen(5 * 16);
                  dialog.Move(false);
                  dialog.Move(false);
                  EXPECT_TRUE(dialog.Accept()) << LastText();
                  return wxID_OK;
                }));
  prompt.answers = {PromptAnswer::Yes};  // write the listed changes
  Run(CommandId::Save);
  ASSERT_FALSE(Copy().AnyModified()) << LastText();

  auto reread = Open(spec);
  std::vector<std::uint32_t> order;
  for (const CPartition* entry : reread->MenuObjectsBySlot()) order.push_back(entry->start);
  EXPECT_EQ(order, (std::vector<std::uint32_t>{before[1], before[2], before[0]}));
  EXPECT_EQ(reread->engineArea[layout::AREA_MENU_COLOUR], 0x1E);
  EXPECT_EQ(reread->engineArea[layout::AREA_BAR_COLOUR], 0x2E);

  // What the preview shows for the saved disk.
  CBootMenuPreviewDlg preview(frame, Copy(), *Copy().Find(0), prompt);
  const TextScreen screen = preview.model().Screen();
  const std::string keep = Variable("KORVEX_DIALOG_SCREEN");
  std::ofstream file(keep.empty() ? dir.File("screen.bin") : keep, std::ios::binary);
  for (unsigned row = 0; row < kTextRows; ++row) {
    for (unsigned column = 0; column < kTextColumns; ++column) {
      file.put(static_cast<char>(screen.At(row, column).character));
      file.put(static_cast<char>(screen.At(row, column).attribute));
    }
  }
  ASSERT_TRUE(file.good());
}

}  // namespace
}  // namespace korvex::test
