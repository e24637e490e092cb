// The changes a save would write, as the window shows them: the pane below the tree lists them
// and the status bar counts them; "Rückgängig" and "Wiederholen" take the last edit back and
// bring it again; "Speichern" asks with the list first, and its "Nein" writes nothing.
#include <wx/listbox.h>
#include <wx/statusbr.h>

#include "app/PendingPane.h"
#include "gui/GuiFixture.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"
#include "wxcommon/WxText.h"

namespace korvex::test {
namespace {

class PendingChangesTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    ImportCatalogue();
  }
  // Three primary partitions on 1 MiB boundaries, as sfdisk lays them out.
  std::string ThreePartitions() {
    std::string error;
    auto image = ImageBuilder::Create(dir.File("three.img"), 130, 16, 63, error);
    EXPECT_TRUE(image) << error;
    EXPECT_TRUE(image->AddPrimary(0, 0x07, 2048, 20480));
    EXPECT_TRUE(image->AddPrimary(1, 0x83, 22528, 20480));
    EXPECT_TRUE(image->AddPrimary(2, 0x06, 43008, 20480));
    return image->Spec();
  }
  std::vector<std::string> PaneLines() {
    std::vector<std::string> lines;
    const wxListBox& list = frame->pendingPane().list();
    for (unsigned i = 0; i < list.GetCount(); ++i) lines.push_back(Utf8(list.GetString(i)));
    return lines;
  }
  std::string StatusCount() { return Utf8(frame->GetStatusBar()->GetStatusText(1)); }
  void Delete(std::uint32_t start) {
    ASSERT_TRUE(Select(At(0, LevelKind::Primary, start)));
    prompt.answers = {PromptAnswer::Yes};
    Run(CommandId::Delete);
  }
};

TEST_F(PendingChangesTest, ThePaneListsTheEditsUndoTakesTheLastBackAndNeinAtTheSaveWritesNothing) {
  const std::string spec = ThreePartitions();
  const auto before = FileBytes(spec);
  OpenWindow({spec});
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(frame->pendingPane().IsShown());
  EXPECT_EQ(StatusCount(), "");
  EXPECT_FALSE(Enabled(CommandId::Undo) || Enabled(CommandId::Redo));

  Delete(22528);
  Delete(43008);
  const std::vector<std::string> both = {
      "Partition löschen: Typ 131 (Linux), 10.00 MB ab Sektor 22528 (1. Festplatte)",
      "Partition löschen: Typ 6 (FAT16), 10.00 MB ab Sektor 43008 (1. Festplatte)"};
  EXPECT_TRUE(frame->pendingPane().IsShown());
  EXPECT_EQ(PaneLines(), both);
  EXPECT_EQ(StatusCount(), "2 Änderungen ausstehend");

  // The last edit goes back, and comes again.
  ASSERT_TRUE(Enabled(CommandId::Undo));
  Run(CommandId::Undo);
  EXPECT_EQ(PaneLines(), std::vector<std::string>{both[0]});
  EXPECT_EQ(StatusCount(), "1 Änderung ausstehend");
  ASSERT_TRUE(Enabled(CommandId::Redo));
  Run(CommandId::Redo);
  EXPECT_EQ(PaneLines(), both);
  Run(CommandId::Undo);
  SaveFramePictureIfAsked("main-pending");

  // "Speichern" shows the one remaining change; "Nein" (the default) writes nothing.
  prompt.answers = {PromptAnswer::No};
  Run(CommandId::Save);
  ASSERT_FALSE(prompt.shown.empty());
  EXPECT_EQ(prompt.shown.back().text, StrFormat(text::kPendingConfirm, (both[0] + "\n").c_str()));
  EXPECT_EQ(prompt.shown.back().buttons, PromptButtons::YesNoDefaultNo);
  EXPECT_EQ(FileBytes(spec), before);
  EXPECT_TRUE(Copy().AnyModified());

  // "Ja" writes exactly that change; the pane and the count go, and the history with them.
  prompt.answers = {PromptAnswer::Yes};
  Run(CommandId::Save);
  EXPECT_FALSE(Copy().AnyModified());
  EXPECT_FALSE(frame->pendingPane().IsShown());
  EXPECT_EQ(StatusCount(), "");
  EXPECT_FALSE(Enabled(CommandId::Undo));
  const auto after = FileBytes(spec);
  EXPECT_NE(after, before);
  EXPECT_EQ(Copy().Find(0)->primary.Used().size(), 2u);
}

}  // namespace
}  // namespace korvex::test
