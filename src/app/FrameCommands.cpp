// The handler of every command, in one table. The commands that open a dialog of their own —
// Create (A&nlegen), BootManager, BootMenu (the menu preview), Password and the two floppy
// passwords, SelfTest, ImageSave, ImageRestore and Analysis — get their line here when their
// dialog exists; until then they have no handler and stay greyed in menus and toolbar.
#include "app/AboutBox.h"
#include "app/DeviceView.h"
#include "app/MainFrame.h"
#include "app/PartTypeDialog.h"
#include "app/PartView.h"
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
    WithSelectedObject([&](ResolvedObject& s) { DeletePartition(*s.disk, *s.level, *s.object, prompt); });
  });
  Handle(CommandId::Activate, [this, &prompt] {
    WithSelectedObject([&](ResolvedObject& s) { ActivatePartition(*s.disk, *s.object, prompt); });
  });
  Handle(CommandId::Deactivate, [this, &prompt] {
    WithSelectedObject([&](ResolvedObject& s) { DeactivatePartition(*s.disk, *s.object, prompt); });
  });
  Handle(CommandId::MenuAdd, [this, &prompt] {
    WithSelectedObject([&](ResolvedObject& s) { AddToMenu(*s.disk, *s.object, prompt); });
  });
  Handle(CommandId::MenuRemove, [this, &prompt] {
    WithSelectedObject([&](ResolvedObject& s) { RemoveFromMenu(*s.disk, *s.object, prompt); });
  });
  Handle(CommandId::Check, [this, &prompt] {
    WithSelectedObject([&](ResolvedObject& s) {
      const CPartition* extended = s.IsLogical() ? s.disk->FindExtended() : nullptr;
      ShowCheckReport(CheckPartition(*s.level, *s.object, extended, s.disk->UsableSectors()), prompt);
    });
  });
  const auto boot = [this] { WithSelectedObject([&](ResolvedObject& s) { doc_->Boot(*s.disk, *s.object); }); };
  Handle(CommandId::Boot, boot);
  Handle(CommandId::BootFromContextMenu, boot);

  // The program's own dialogs.
  Handle(CommandId::PartitionTypes, [this] {
    CPartTypeDlg dialog(this, doc_->registry(), doc_->prompt());
    dialog.ShowModal();
  });
  Handle(CommandId::About, [this] { ShowAboutBox(this); });
}

}  // namespace korvex
