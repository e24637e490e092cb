// The device tree and the partition form on disks made by sfdisk: labels, kinds and context
// menus of a type-15 extended partition with logical drives, the form's derivations, and a
// type change applied through the form, saved, and read back by sfdisk.
#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <fstream>

#include "app/PartView.h"
#include "wxcommon/WxText.h"
#include "disk/FormatSize.h"
#include "gui/GuiFixture.h"
#include "parttypes/PartTypeCatalogue.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex::test {
namespace {

constexpr std::uint32_t kCylinder = 255 * 63;  // sectors per cylinder of a 255 × 63 disk

class PartitionFormTest : public GuiTest {
 protected:
  // An empty image of cylinders × 255 × 63 partitioned by sfdisk from script.
  std::string SfdiskImage(const std::string& name, std::uint32_t cylinders, const std::string& script) {
    const std::string path = dir.File(name);
    std::ofstream(path).close();
    std::filesystem::resize_file(path, std::uint64_t{cylinders} * kCylinder * 512);
    std::ofstream(dir.File("script")) << script;
    const std::string command = "sfdisk --no-reread --no-tell-kernel -q " + path + " < " + dir.File("script");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path + "@255x63";
  }
  // sfdisk's dump of an image: one line per partition.
  std::string SfdiskDump(const std::string& spec) {
    const std::string command = "sfdisk --dump " + spec.substr(0, spec.find('@')) + " 2>/dev/null";
    std::string dump;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
      char buffer[512];
      while (std::fgets(buffer, sizeof buffer, pipe)) dump += buffer;
      ::pclose(pipe);
    }
    return dump;
  }
  std::string Field(CPartView::Field which) { return Utf8(PaneAs<CPartView>().field(which)->GetValue()); }
  void SetField(CPartView::Field which, const char* value) { PaneAs<CPartView>().field(which)->ChangeValue(value); }
  std::vector<std::string> Fields() {
    std::vector<std::string> values;
    for (int i = 0; i < CPartView::kFieldCount; ++i) values.push_back(Field(static_cast<CPartView::Field>(i)));
    return values;
  }
  // The tree item of ref: its label and icon number (the node kind).
  std::pair<std::string, int> Item(const NodeRef& ref) {
    EXPECT_TRUE(Select(ref));
    const CDeviceView& tree = frame->deviceView();
    return {tree.LabelOf(ref).value_or(""), static_cast<int>(tree.IconOf(ref).value_or(NodeKind::Computer))};
  }
  bool FirstContextEntryEnabled(const NodeRef& ref) {
    const auto menu = frame->deviceView().ContextMenuOf(ref);
    EXPECT_TRUE(menu);
    return menu && menu->FindItemByPosition(0)->IsEnabled();
  }
};

TEST_F(PartitionFormTest, AnSfdiskDiskShowsItsExtendedPartitionAndLogicalDrives) {
  ImportCatalogue();
  const std::string spec = SfdiskImage("sf.img", 20,
                                       "label: dos\n"
                                       "start=63, size=96327, type=83\n"
                                       "start=96390, size=192780, type=f\n"
                                       "start=96453, size=80262, type=7\n"
                                       "start=176778, size=64197, type=b\n");
  OpenWindow({spec});
  ASSERT_NE(frame, nullptr);
  const NodeRef extended = At(0, LevelKind::Primary, 96390);
  // The type and size first, then the catalogue's name of the type and sfdisk's number.
  EXPECT_EQ(Item(extended),
            std::make_pair(std::string("Typ 15  ") + FormatSize(192780ull * 512) + "  Erweitert+BIOS  Nr. 2", 8));
  const NodeRef drive = At(0, LevelKind::Logical, 96390);
  EXPECT_EQ(Item(drive).second, static_cast<int>(NodeKind::DataPartition));
  EXPECT_EQ(Item(drive).first.rfind("Typ 7  ", 0), 0u);
  EXPECT_EQ(frame->deviceView().ParentOf(drive), extended);
  EXPECT_EQ(Item(At(0, LevelKind::Primary, 63)).second, static_cast<int>(NodeKind::DataPartition));
  const auto [gapLabel, gapKind] = Item(At(0, LevelKind::Primary, 289170));
  EXPECT_EQ(gapKind, static_cast<int>(NodeKind::FreeSpace));
  EXPECT_NE(gapLabel.find(" frei"), std::string::npos);

  // No engine: menu 159, "Aktivieren" first; greyed for the extended partition and the drives.
  const auto menu = frame->deviceView().ContextMenuOf(At(0, LevelKind::Primary, 63));
  EXPECT_EQ(menu->FindItemByPosition(0)->GetItemLabel(), wxString::FromUTF8("Ak&tivieren"));
  EXPECT_TRUE(FirstContextEntryEnabled(At(0, LevelKind::Primary, 63)));
  EXPECT_FALSE(FirstContextEntryEnabled(extended));
  EXPECT_FALSE(FirstContextEntryEnabled(drive));
  // The gap in front of the second drive's record is free space: "Anlegen" opens its dialog.
  const NodeRef gap = At(0, LevelKind::Logical, 176715);
  EXPECT_EQ(frame->deviceView().ContextMenuOf(gap)->FindItemByPosition(0)->GetItemLabel(), "&Anlegen");
  EXPECT_TRUE(FirstContextEntryEnabled(gap));
}

TEST_F(PartitionFormTest, TheFormDerivesOnePositionFromTheOther) {
  ImportCatalogue();
  const std::string spec = SfdiskImage("derive.img", 20, "label: dos\nstart=63, size=160587, type=7\n");
  OpenWindow({spec});
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(Select(At(0, LevelKind::Primary, 63)));
  EXPECT_EQ(Fields(), (std::vector<std::string>{"0", "1", "1", "9", "254", "63", "63", "160587"}));
  EXPECT_FALSE(PaneAs<CPartView>().titleField()->IsEnabled());  // not in a boot menu

  SetField(CPartView::Length, "16002");
  Run(CommandId::RelativeToAbsolute);
  EXPECT_EQ(Fields(), (std::vector<std::string>{"0", "1", "1", "0", "254", "63", "63", "16002"}));

  for (const auto& [which, value] : {std::pair{CPartView::StartCylinder, "1"}, {CPartView::StartHead, "0"},
                                     {CPartView::StartSector, "1"}, {CPartView::EndCylinder, "1"},
                                     {CPartView::EndHead, "254"}, {CPartView::EndSector, "63"}}) {
    SetField(which, value);
  }
  Run(CommandId::AbsoluteToRelative);
  EXPECT_EQ(Field(CPartView::RelativeStart), "16065");
  EXPECT_EQ(Field(CPartView::Length), "16065");

  // A field without a number is refused with the range message; nothing is derived.
  SetField(CPartView::StartHead, "300");
  Run(CommandId::AbsoluteToRelative);
  EXPECT_EQ(LastText(), FormatRangeMessage(0, 255));
  EXPECT_EQ(Field(CPartView::RelativeStart), "16065");
  EXPECT_EQ(Resolve(Copy(), At(0, LevelKind::Primary, 63).object)->object->length, 160587u);
}

TEST_F(PartitionFormTest, ATypeChangeAppliedAndSavedIsWhatSfdiskReads) {
  ImportCatalogue();
  const std::string spec = SfdiskImage("apply.img", 20,
                                       "label: dos\n"
                                       "start=63, size=96327, type=83\n"
                                       "start=96390, size=192780, type=f\n"
                                       "start=96453, size=80262, type=7\n");
  OpenWindow({spec});
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(Select(At(0, LevelKind::Primary, 96390)));
  wxChoice& types = *PaneAs<CPartView>().typeBox();
  ASSERT_EQ(TypeIdByName(frame->doc().registry(), Utf8(types.GetStringSelection())), 0x0F);
  int ntfs = wxNOT_FOUND;
  for (unsigned i = 0; i < types.GetCount(); ++i) {
    if (TypeIdByName(frame->doc().registry(), Utf8(types.GetString(i))) == 0x07) ntfs = static_cast<int>(i);
  }
  ASSERT_NE(ntfs, wxNOT_FOUND);
  types.SetSelection(ntfs);
  ASSERT_TRUE(Enabled(CommandId::Apply));

  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};  // lose the data? lose the drives?
  Run(CommandId::Apply);
  ASSERT_GE(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[0].text, LoadResString(IDS_TYPE_CHANGE));
  EXPECT_EQ(prompt.shown[1].text, LoadResString(IDS_LOSE_LOGICAL_DRIVES));
  EXPECT_TRUE(Copy().Find(0)->logical.empty());
  EXPECT_EQ(frame->deviceView().IconOf(*Selected()), NodeKind::DataPartition);

  prompt.answers = {PromptAnswer::Yes};  // write the listed changes
  Run(CommandId::Save);
  EXPECT_FALSE(Copy().Find(0)->IsModified());
  const std::string dump = SfdiskDump(spec);
  EXPECT_NE(dump.find("start=       96390, size=      192780, type=7"), std::string::npos) << dump;
  EXPECT_NE(dump.find("start=          63, size=       96327, type=83"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("type=f"), std::string::npos) << dump;
}

// A title the boot screen cannot show is an edit: "Übernehmen" is offered and refuses it with a
// message naming the character; the field keeps what was typed and the entry its title. A
// title the screen can show is taken in its code page.
TEST_F(PartitionFormTest, ATitleTheBootScreenCannotShowIsRefusedWithAMessage) {
  ImportCatalogue();
  const std::string spec = MakeEngineDisk("menu.img", {.menu = {0}});
  OpenWindow({spec});
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(Select(At(0, LevelKind::Primary, PartStart(0))));
  wxTextCtrl& title = *PaneAs<CPartView>().titleField();
  ASSERT_TRUE(title.IsEnabled());
  title.ChangeValue(Wx("Windows 10 €"));
  ASSERT_TRUE(Enabled(CommandId::Apply));
  Run(CommandId::Apply);
  EXPECT_EQ(LastText(), StrFormat(text::kTitleNotCp437, "€"));
  EXPECT_EQ(Utf8(title.GetValue()), "Windows 10 €");
  EXPECT_EQ(Part(*Copy().Find(0), 0).GetTitle(), "Eintrag 0");
  EXPECT_FALSE(Copy().Find(0)->IsModified());

  title.ChangeValue(Wx("Windows 10 Ü"));
  Run(CommandId::Apply);
  EXPECT_EQ(Part(*Copy().Find(0), 0).GetTitle(), "Windows 10 \x9A");
  EXPECT_TRUE(Copy().Find(0)->IsModified());
}

}  // namespace
}  // namespace korvex::test
