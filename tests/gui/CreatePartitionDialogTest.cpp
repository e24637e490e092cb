// "Partition erzeugen" opened from "A&nlegen" on a free area: its proposals, the controls that
// follow the choices, a size refused, and a cylinder-aligned partition that sfdisk reads back.
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <array>
#include <cstdio>

#include "app/CreatePartitionDialog.h"
#include "gui/GuiFixture.h"
#include "gui/ModalDriver.h"
#include "platform/Texts.h"

namespace korvex::test {
namespace {

class CreatePartitionDialogTest : public GuiTest {
 protected:
  // What sfdisk --dump prints for the image.
  static std::string SfdiskDump(const std::string& spec) {
    const std::string command = "sfdisk --dump '" + spec.substr(0, spec.find('@')) + "' 2>&1";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    std::array<char, 256> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe) != nullptr) output += chunk.data();
    ::pclose(pipe);
    return output;
  }
};

TEST_F(CreatePartitionDialogTest, APartOfTheFreeAreaBecomesACylinderAlignedPartition) {
  ImportCatalogue();
  std::string error;
  auto image = ImageBuilder::Create(dir.File("0.img"), 30, 16, 63, error);
  ASSERT_TRUE(image) << error;
  ASSERT_TRUE(image->AddPrimary(0, 0x07, 63, 1008 - 63, true));
  const std::string spec = image->Spec();
  OpenWindow({spec});
  ASSERT_TRUE(Select(At(0, LevelKind::Primary, 1008)));
  ASSERT_TRUE(Enabled(CommandId::Create));
  wxTEST_DIALOG(Run(CommandId::Create), DriveModal<CCreatePartitionDlg>([&](CCreatePartitionDlg& dialog) {
                  // Whole area, cylinder alignment, destructive, FAT16 (6), next free entry.
                  EXPECT_TRUE(dialog.radio(CCreatePartitionDlg::WholeSpace).GetValue());
                  EXPECT_FALSE(dialog.sizeValue().IsEnabled());
                  EXPECT_TRUE(dialog.radio(CCreatePartitionDlg::AlignCylinder).GetValue());
                  EXPECT_TRUE(dialog.destructive().GetValue());
                  EXPECT_FALSE(dialog.toMenu().IsEnabled());  // no engine on this disk
                  EXPECT_EQ(dialog.sizeValue().GetValue(), "14.27");
                  EXPECT_EQ(dialog.unit().GetStringSelection(), "MByte");
                  EXPECT_EQ(dialog.slot().GetCount(), 3u);
                  EXPECT_EQ(dialog.slot().GetString(0), "2");
                  EXPECT_FALSE(dialog.slot().IsEnabled());

                  dialog.Choose(CCreatePartitionDlg::Partial);
                  EXPECT_TRUE(dialog.sizeValue().IsEnabled());
                  dialog.sizeValue().ChangeValue("15");
                  EXPECT_FALSE(dialog.Create());
                  EXPECT_EQ(LastText(), text::kSizeTooLarge);
                  EXPECT_EQ(Copy().Find(0)->primary.size(), 2u);

                  dialog.sizeValue().ChangeValue("2");
                  dialog.Choose(CCreatePartitionDlg::AtPosition);
                  EXPECT_TRUE(dialog.slot().IsEnabled());
                  EXPECT_TRUE(dialog.radio(CCreatePartitionDlg::Partial).GetValue());
                  EXPECT_TRUE(dialog.radio(CCreatePartitionDlg::AlignCylinder).GetValue());
                  dialog.slot().SetSelection(2);  // entry 4
                  EXPECT_TRUE(dialog.Create()) << LastText();
                  return wxID_OK;
                }));
  prompt.answers = {PromptAnswer::Yes};  // write the listed changes
  Run(CommandId::Save);
  // Key assertion: 2 MByte (4096 sectors) from cylinder 1 end on the next cylinder boundary,
  // 5 cylinders of 1008 sectors, in table entry 4.
  const std::string dump = SfdiskDump(spec);
  EXPECT_NE(dump.find("0.img4 : start=        1008, size=        5040, type=6"), std::string::npos) << dump;
  EXPECT_NE(dump.find("0.img1 : start=          63, size=         945, type=7, bootable"), std::string::npos) << dump;
}

}  // namespace
}  // namespace korvex::test
