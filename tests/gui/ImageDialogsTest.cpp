// "Partitionsabbild erzeugen" and "Partitionsabbild laden" opened from their commands: an image
// saved and restored onto a partition of the same size with the progress bar at its end, a
// cancel through the window's close button, and images the restore refuses.
#include <filesystem>
#include <fstream>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>

#include "app/ImageRestoreDialog.h"
#include "app/ImageSaveDialog.h"
#include "wxcommon/WxText.h"
#include "gui/GuiFixture.h"
#include "gui/ModalDriver.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex::test {
namespace {

constexpr std::uint32_t kCylinder = 16 * 63;
constexpr std::uint32_t kSource = kCylinder;      // 3 cylinders with a pattern
constexpr std::uint32_t kTarget = 5 * kCylinder;  // 3 cylinders of zeros
constexpr std::uint32_t kLength = 3 * kCylinder;
constexpr std::uint32_t kLarge = 9 * kCylinder;  // 20 cylinders, for a run long enough to stop
constexpr std::uint32_t kLargeLength = 20 * kCylinder;

class ImageDialogsTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    std::string error;
    auto image = ImageBuilder::Create(dir.File("disk.img"), 30, 16, 63, error);
    ASSERT_TRUE(image) << error;
    ASSERT_TRUE(image->AddPrimary(0, 0x83, kSource, kLength));
    ASSERT_TRUE(image->AddPrimary(1, 0x83, kTarget, kLength));
    ASSERT_TRUE(image->AddPrimary(2, 0x83, kLarge, kLargeLength));
    spec = image->Spec();
    std::vector<std::uint8_t> pattern(std::size_t{kLength} * 512);
    for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<std::uint8_t>(i * 7 + i / 512);
    WriteSectors(kSource, pattern);
    ImportCatalogue();
    ASSERT_NE(OpenWindow({spec}), nullptr) << LastText();
  }

  void WriteSectors(std::uint32_t first, const std::vector<std::uint8_t>& bytes) {
    std::fstream file(dir.File("disk.img"), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(std::streamoff{first} * 512);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good());
  }
  std::vector<std::uint8_t> Sectors(std::uint32_t first, std::uint32_t count) {
    std::ifstream file(dir.File("disk.img"), std::ios::binary);
    file.seekg(std::streamoff{first} * 512);
    std::vector<std::uint8_t> bytes(std::size_t{count} * 512);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
  }

  // Saves the partition at start into file through the dialog of its command.
  void SaveImageOf(std::uint32_t start, const std::string& file, bool compressed) {
    ASSERT_TRUE(Select(At(0, LevelKind::Primary, start)));
    ASSERT_TRUE(Enabled(CommandId::ImageSave));
    wxTEST_DIALOG(Run(CommandId::ImageSave), DriveModal<CImageSaveDlg>([&](CImageSaveDlg& dialog) {
      dialog.fileNameField().ChangeValue(Wx(file));
      dialog.compressBox().SetValue(compressed);
      EXPECT_TRUE(dialog.Start());
      EXPECT_FALSE(dialog.startButton().IsEnabled());
      WaitForWork(dialog);
      EXPECT_EQ(dialog.progressBar().GetValue(), dialog.progressBar().GetRange());
      EXPECT_EQ(dialog.totalTimeField()->GetValue().empty(), false);
      EXPECT_EQ(dialog.cancelButton().GetLabel(), "Beenden");
      SavePictureIfAsked(dialog, "image-save");
      return wxID_CANCEL;
    }));
  }

  std::string spec;
};

TEST_F(ImageDialogsTest, ASavedImageRestoresOntoAPartitionOfTheSameSize) {
  const std::string file = dir.File("source.pim");
  SaveImageOf(kSource, file, true);
  EXPECT_EQ(LastText(), text::kImageSaved);
  ASSERT_TRUE(std::filesystem::exists(file));

  ASSERT_TRUE(Select(At(0, LevelKind::Primary, kTarget)));
  ASSERT_TRUE(Enabled(CommandId::ImageRestore));
  prompt.shown.clear();
  prompt.answers = {PromptAnswer::Yes};  // "Der Inhalt von … wird überschrieben. Fortfahren?"
  wxTEST_DIALOG(Run(CommandId::ImageRestore), DriveModal<CImageRestoreDlg>([&](CImageRestoreDlg& dialog) {
    EXPECT_FALSE(dialog.startButton().IsEnabled());
    EXPECT_TRUE(dialog.checkFirstBox().GetValue());
    dialog.fileNameField().ChangeValue(Wx(" " + file + " "));
    dialog.CheckFile();
    EXPECT_TRUE(prompt.shown.empty()) << LastText();
    EXPECT_EQ(dialog.sizeField().GetValue(), "1");  // 3024 sectors
    EXPECT_EQ(dialog.typeField().GetValue(), "131");
    EXPECT_TRUE(dialog.compressedBox().GetValue());
    EXPECT_TRUE(dialog.startButton().IsEnabled());
    EXPECT_TRUE(dialog.Start());
    EXPECT_TRUE(!prompt.shown.empty() && prompt.shown.front().question &&
                prompt.shown.front().buttons == PromptButtons::YesNoDefaultNo);
    WaitForWork(dialog);
    EXPECT_EQ(Utf8(dialog.statusField()->GetValue()), text::kImageStatusWriting);
    EXPECT_EQ(dialog.progressBar().GetValue(), dialog.progressBar().GetRange());
    EXPECT_EQ(dialog.cancelButton().GetLabel(), "Beenden");
    EXPECT_FALSE(dialog.startButton().IsEnabled());
    SavePictureIfAsked(dialog, "image-restore");
    return wxID_CANCEL;
  }));
  EXPECT_EQ(LastText(), text::kImageRestored);
  EXPECT_EQ(Sectors(kTarget, kLength), Sectors(kSource, kLength));
  EXPECT_FALSE(Copy().AnyModified());
}

TEST_F(ImageDialogsTest, ClosingWhileTheWorkRunsAsksAndAYesCancelsTheImage) {
  const std::string file = dir.File("large.pim");
  ASSERT_TRUE(Select(At(0, LevelKind::Primary, kLarge)));
  prompt.answers = {PromptAnswer::No, PromptAnswer::Yes};
  wxTEST_DIALOG(Run(CommandId::ImageSave), DriveModal<CImageSaveDlg>([&](CImageSaveDlg& dialog) {
    dialog.fileNameField().ChangeValue(Wx(file));
    EXPECT_TRUE(dialog.Start());
    // The window manager's close button and Escape ask; No goes on, Yes stops at the block's end.
    wxCloseEvent close(wxEVT_CLOSE_WINDOW, dialog.GetId());
    close.SetCanVeto(true);
    close.SetEventObject(&dialog);
    dialog.ProcessWindowEvent(close);
    EXPECT_TRUE(close.GetVeto());
    EXPECT_TRUE(dialog.Running());
    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    escape.SetEventObject(&dialog);
    dialog.ProcessWindowEvent(escape);
    EXPECT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown.front().text, text::kCancelWorkQuestion);
    EXPECT_TRUE(prompt.shown.front().question);
    WaitForWork(dialog);
    EXPECT_EQ(LastText(), text::kImageSaveCancelled);
    EXPECT_LT(dialog.progressBar().GetValue(), dialog.progressBar().GetRange());
    // A cancelled image may be started again.
    EXPECT_TRUE(dialog.startButton().IsEnabled());
    EXPECT_TRUE(dialog.browseButton().IsEnabled());
    EXPECT_EQ(dialog.cancelButton().GetLabel(), "Beenden");
    return wxID_CANCEL;
  }));
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(ImageDialogsTest, ADialogDestroyedWhileItsWorkRunsStopsTheWorkAndHearsNothingMore) {
  // Only the program's end destroys a dialog whose work runs; the work is stopped and awaited,
  // and its reports still on their way are dropped with the dialog.
  const std::string file = dir.File("gone.pim");
  auto* entry = Resolve(Copy(), *FindObjectAt(Copy(), 0, LevelKind::Primary, kLarge))->object;
  auto* dialog = new CImageSaveDlg(frame, *Copy().Find(0), *entry, false, prompt);
  dialog->fileNameField().ChangeValue(Wx(file));
  ASSERT_TRUE(dialog->Start());
  delete dialog;
  Settle();
  EXPECT_EQ(LastText(), "");  // no outcome reached a window that is gone
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(ImageDialogsTest, ADamagedImageAndAForeignFileAreRefusedWithNothingWritten) {
  const std::string file = dir.File("cut.pim");
  SaveImageOf(kSource, file, false);
  std::filesystem::resize_file(file, std::filesystem::file_size(file) - 700);  // the last block cut short
  std::ofstream(dir.File("other.pim")) << "no image at all";
  const auto before = Sectors(kTarget, kLength);

  ASSERT_TRUE(Select(At(0, LevelKind::Primary, kTarget)));
  prompt.shown.clear();
  prompt.answers = {PromptAnswer::Yes};
  wxTEST_DIALOG(Run(CommandId::ImageRestore), DriveModal<CImageRestoreDlg>([&](CImageRestoreDlg& dialog) {
    dialog.fileNameField().ChangeValue(Wx(dir.File("other.pim")));
    dialog.CheckFile();
    EXPECT_EQ(LastText(), text::kImageNotAnImage);
    EXPECT_FALSE(dialog.Start());
    EXPECT_EQ(LastText(), text::kImageNotAnImage);

    // The first header is whole, so "Suchen" accepts the file; the worker checks every block
    // before it writes and refuses.
    dialog.fileNameField().ChangeValue(Wx(file));
    dialog.CheckFile();
    EXPECT_TRUE(dialog.startButton().IsEnabled());
    EXPECT_TRUE(dialog.Start());
    WaitForWork(dialog);
    EXPECT_NE(LastText().find("beschädigt"), std::string::npos) << LastText();
    EXPECT_NE(LastText().find(text::kImageNothingWritten), std::string::npos) << LastText();
    EXPECT_EQ(prompt.shown.back().icon, PromptIcon::Stop);
    EXPECT_TRUE(dialog.startButton().IsEnabled());
    return wxID_CANCEL;
  }));
  EXPECT_EQ(Sectors(kTarget, kLength), before);
  for (const auto& shown : prompt.shown) EXPECT_NE(shown.text, text::kImageRestored);
}

// A name typed into the field is taken without "Suchen"; with "Abbild vor dem Schreiben
// vollständig prüfen" cleared, a damaged compressed image (without its checksum file) is no
// longer caught before the first write, and the message says what was written.
TEST_F(ImageDialogsTest, ATypedNameStartsAndTheCheckBoxDecidesWhetherTheImageIsCheckedFirst) {
  const std::string saved = dir.File("packed.pim");
  SaveImageOf(kSource, saved, true);
  std::vector<std::uint8_t> bytes;
  {
    std::ifstream in(saved, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  // The last block's stream damaged.
  bytes[bytes.size() - 40] ^= 0xFF;
  const std::string file = dir.File("damaged.pim");
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  const auto before = Sectors(kTarget, kLength);

  ASSERT_TRUE(Select(At(0, LevelKind::Primary, kTarget)));
  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
  wxTEST_DIALOG(Run(CommandId::ImageRestore), DriveModal<CImageRestoreDlg>([&](CImageRestoreDlg& dialog) {
    dialog.fileNameField().SetValue(Wx(file));  // typed: a text event, no "Suchen"
    EXPECT_TRUE(dialog.startButton().IsEnabled());
    wxCommandEvent click(wxEVT_BUTTON, dialog.startButton().GetId());
    click.SetEventObject(&dialog.startButton());
    dialog.startButton().ProcessWindowEvent(click);
    WaitForWork(dialog);
    EXPECT_NE(LastText().find(text::kImageNothingWritten), std::string::npos) << LastText();
    EXPECT_EQ(Sectors(kTarget, kLength), before);

    dialog.checkFirstBox().SetValue(false);
    EXPECT_TRUE(dialog.Start());
    WaitForWork(dialog);
    EXPECT_NE(LastText().find(StrFormat(text::kImagePartlyWritten, 2 * kCylinder)), std::string::npos) << LastText();
    return wxID_CANCEL;
  }));
  EXPECT_NE(Sectors(kTarget, kLength), before);
}

TEST_F(ImageDialogsTest, AfterAFailedSaveTheButtonsAreEnabledAgain) {
  ASSERT_TRUE(Select(At(0, LevelKind::Primary, kSource)));
  wxTEST_DIALOG(Run(CommandId::ImageSave), DriveModal<CImageSaveDlg>([&](CImageSaveDlg& dialog) {
    dialog.fileNameField().ChangeValue(Wx(dir.File("missing/a.pim")));
    EXPECT_TRUE(dialog.Start());
    WaitForWork(dialog);
    EXPECT_NE(LastText().find(dir.File("missing/a.pim")), std::string::npos) << LastText();
    EXPECT_TRUE(dialog.startButton().IsEnabled());
    EXPECT_TRUE(dialog.browseButton().IsEnabled());
    // Another name, and the image is made.
    dialog.fileNameField().ChangeValue(Wx(dir.File("a.pim")));
    EXPECT_TRUE(dialog.Start());
    WaitForWork(dialog);
    EXPECT_EQ(LastText(), text::kImageSaved);
    return wxID_CANCEL;
  }));
  EXPECT_TRUE(std::filesystem::exists(dir.File("a.pim.sha256")));
}

TEST_F(ImageDialogsTest, AbbrechenDuringARestoreSaysWhatWasWritten) {
  const std::string file = dir.File("large.pim");
  ASSERT_TRUE(Select(At(0, LevelKind::Primary, kLarge)));
  wxTEST_DIALOG(Run(CommandId::ImageSave), DriveModal<CImageSaveDlg>([&](CImageSaveDlg& dialog) {
    dialog.fileNameField().ChangeValue(Wx(file));
    EXPECT_TRUE(dialog.Start());
    WaitForWork(dialog);
    return wxID_CANCEL;
  }));
  ASSERT_EQ(LastText(), text::kImageSaved);
  prompt.answers = {PromptAnswer::Yes, PromptAnswer::Yes};  // overwrite, then stop
  wxTEST_DIALOG(Run(CommandId::ImageRestore), DriveModal<CImageRestoreDlg>([&](CImageRestoreDlg& dialog) {
    dialog.fileNameField().SetValue(Wx(file));
    EXPECT_TRUE(dialog.Start());
    dialog.AskToStop();
    WaitForWork(dialog);
    EXPECT_EQ(LastText().rfind(text::kImageRestoreCancelled, 0), 0u) << LastText();
    EXPECT_EQ(dialog.cancelButton().GetLabel(), "Beenden");
    return wxID_CANCEL;
  }));
}

}  // namespace
}  // namespace korvex::test
