// The handler of every command, in one table. A command whose dialog does not exist has no
// handler and stays greyed in menus and toolbar.
#include "app/AboutBox.h"
#include "app/AnalysisDialog.h"
#include "app/BootMenuPreviewDialog.h"
#include "app/CreatePartitionDialog.h"
#include "app/DeviceView.h"
#include "app/ImageRestoreDialog.h"
#include "app/ImageSaveDialog.h"
#include "app/InstallEngineDialog.h"
#include "app/MainFrame.h"
#include "app/PartTypeDialog.h"
#include "app/PartView.h"
#include "app/PasswordDialog.h"
#include "app/RemoveEngineDialog.h"
#include "app/SelfTestDialog.h"
#include "bootengine/MenuConfig.h"
#include "partition/PartitionEditing.h"
#include "partition/PositionChecks.h"

namespace korvex {

void CMainFrame::BindCommands() {
  CPrompt& prompt = doc_->prompt();

  // The document: the working copy as a whole, or one disk (all of them from the computer node).
  Handle(CommandId::Save, [this] { SaveAll(); });
  Handle(CommandId::Reload, [this] { doc_->ReloadAll(); });
  Handle(CommandId::SaveDisk, [this] {
    if (SelectedDevice()) doc_->SaveDisk(SelectedDevice());
    else SaveAll();
  });
  Handle(CommandId::ReloadDisk, [this] { doc_->ReloadDisk(SelectedDevice()); });
  Handle(CommandId::Undo, [this] { doc_->workingCopy().Undo(); });
  Handle(CommandId::Redo, [this] { doc_->workingCopy().Redo(); });

  // The forms in the right pane; the context menu's "Abgleich" reaches the partition form too.
  Handle(CommandId::Apply, [this] { right_->Apply(); });
  Handle(CommandId::AbsoluteToRelative, [this] {
    if (auto* form = dynamic_cast<CPartView*>(right_)) form->AbsoluteToRelative();
  });
  Handle(CommandId::RelativeToAbsolute, [this] {
    if (auto* form = dynamic_cast<CPartView*>(right_)) form->RelativeToAbsolute();
  });

  // The selected partition, logical drive or free area.
  Handle(CommandId::Delete, [this, &prompt] {
    WithSelectedRef([&](const ObjectRef& ref) { DeletePartition(doc_->workingCopy(), ref, prompt); });
  });
  Handle(CommandId::Activate, [this, &prompt] {
    WithSelectedRef([&](const ObjectRef& ref) { ActivatePartition(doc_->workingCopy(), ref, prompt); });
  });
  Handle(CommandId::Deactivate, [this, &prompt] {
    WithSelectedRef([&](const ObjectRef& ref) { DeactivatePartition(doc_->workingCopy(), ref, prompt); });
  });
  Handle(CommandId::MenuAdd, [this, &prompt] {
    WithSelectedRef([&](const ObjectRef& ref) { AddToMenu(doc_->workingCopy(), ref, prompt); });
  });
  Handle(CommandId::MenuRemove, [this, &prompt] {
    WithSelectedRef([&](const ObjectRef& ref) { RemoveFromMenu(doc_->workingCopy(), ref, prompt); });
  });
  Handle(CommandId::Check, [this, &prompt] {
    WithSelectedRef([&](const ObjectRef& ref) {
      const auto report = CheckReport(doc_->workingCopy(), ref, prompt);
      if (report) prompt.Message(*report, PromptIcon::Information);
    });
  });
  const auto boot = [this] { WithSelectedRef([&](const ObjectRef& ref) { doc_->Boot(ref); }); };
  Handle(CommandId::Boot, boot);
  Handle(CommandId::BootFromContextMenu, boot);

  // The dialogs of the boot engine and of a new partition.
  Handle(CommandId::Create, [this, &prompt] {
    WithSelectedRef([&](const ObjectRef& ref) {
      const auto target = Resolve(doc_->workingCopy(), ref);
      if (!target->IsLogical() && !CanCreatePrimary(*target->disk, prompt)) return;
      CCreatePartitionDlg dialog(this, doc_->workingCopy(), ref, doc_->registry(), prompt);
      dialog.ShowModal();
    });
  });
  Handle(CommandId::BootManager, [this, &prompt] {
    CHardDisk* disk = SelectedDisk(Context());
    if (disk == nullptr) return;
    if (disk->EngineInstalled()) {
      CRemoveEngineDlg(this, *disk, prompt).ShowModal();
    } else {
      CInstallEngineDlg(this, *disk, prompt).ShowModal();
    }
  });
  Handle(CommandId::BootMenu, [this, &prompt] {
    CHardDisk* disk = SelectedDisk(Context());
    if (disk != nullptr) CBootMenuPreviewDlg(this, doc_->workingCopy(), *disk, prompt).ShowModal();
  });
  Handle(CommandId::SelfTest, [this] {
    if (CHardDisk* disk = SelectedDisk(Context())) CSelfTestDlg(this, *disk).ShowModal();
  });
  Handle(CommandId::Password, [this, &prompt] {
    WithSelectedRef([&](const ObjectRef& ref) { CPasswordDlg(this, doc_->workingCopy(), ref, prompt).ShowModal(); });
  });
  Handle(CommandId::FloppyPasswordA, [this, &prompt] {
    CPasswordDlg(this, doc_->workingCopy(), FloppyDrive::A, prompt).ShowModal();
  });
  Handle(CommandId::FloppyPasswordB, [this, &prompt] {
    CPasswordDlg(this, doc_->workingCopy(), FloppyDrive::B, prompt).ShowModal();
  });

  // The program's own dialogs.
  Handle(CommandId::PartitionTypes, [this] {
    CPartTypeDlg dialog(this, doc_->registry(), doc_->prompt());
    if (dialog.ShowModal() == wxID_OK) rebuildPending_ = true;  // the labels name the types
  });
  Handle(CommandId::About, [this] { ShowAboutBox(this); });

  // Long work: partition images of the selected object, the analysis of the selected disk.
  Handle(CommandId::ImageSave, [this, &prompt] {
    WithSelectedObject([&](ResolvedObject& s) {
      CImageSaveDlg dialog(this, *s.disk, *s.object, s.IsLogical(), prompt);
      dialog.ShowModal();
    });
  });
  Handle(CommandId::ImageRestore, [this, &prompt] {
    WithSelectedObject([&](ResolvedObject& s) {
      CImageRestoreDlg dialog(this, *s.disk, *s.object, s.IsLogical(), prompt);
      dialog.ShowModal();
      // The partition may hold another file system now.
      doc_->details().Forget(s.disk->DeviceNumber());
      rebuildPending_ = true;
    });
  });
  Handle(CommandId::Analysis, [this, &prompt] {
    CHardDisk* disk = SelectedDevice() ? doc_->workingCopy().Find(*SelectedDevice()) : nullptr;
    if (disk == nullptr) return;
    CAnalysisDlg dialog(this, *disk, prompt);
    dialog.ShowModal();
  });
}

}  // namespace korvex
