#pragma once
// "Partition erzeugen": a free area becomes a partition or logical drive — the whole area or a
// part of it, an alignment (the disk's default chosen), a type from the catalogue, the boot menu
// or a table entry, and whether its first sectors are cleared. OK hands the request to
// CreatePartition.
#include <wx/dialog.h>

#include "platform/Registry.h"
#include "shell/CreatePartitionForm.h"

class wxCheckBox;
class wxChoice;
class wxRadioButton;
class wxTextCtrl;

namespace korvex {

class CCreatePartitionDlg final : public wxDialog {
 public:
  // freeArea must name a free area of workingCopy.
  CCreatePartitionDlg(wxWindow* parent, WorkingCopy& workingCopy, const ObjectRef& freeArea, RegistryStore& registry,
                      CPrompt& prompt);

  enum Radio { WholeSpace, Partial, AlignCylinder, AlignTrack, AlignStart, AlignMiB, NextFree, AtPosition, kRadios };
  wxRadioButton& radio(Radio which) const { return *radios_[which]; }
  // Checks a radio as a click would.
  void Choose(Radio which);
  wxTextCtrl& sizeValue() const { return *value_; }
  wxChoice& unit() const { return *unit_; }
  wxChoice& type() const { return *type_; }
  wxChoice& slot() const { return *slot_; }
  wxCheckBox& destructive() const { return *destructive_; }
  wxCheckBox& toMenu() const { return *menu_; }
  // Enables the controls for the choices made; called after every change.
  void Follow();
  // OK: false, with the dialog still open and nothing changed, when the request was refused.
  bool Create();

 private:
  CreateChoices Choices() const;

  // The free area; the modal dialog keeps the working copy from changing under it.
  ResolvedObject FreeArea() const { return *Resolve(workingCopy_, freeArea_); }

  WorkingCopy& workingCopy_;
  ObjectRef freeArea_;
  RegistryStore& registry_;
  CPrompt& prompt_;
  wxRadioButton* radios_[kRadios] = {};
  wxTextCtrl* value_ = nullptr;
  wxChoice* unit_ = nullptr;
  wxChoice* type_ = nullptr;
  wxChoice* slot_ = nullptr;
  wxCheckBox* destructive_ = nullptr;
  wxCheckBox* menu_ = nullptr;
};

}  // namespace korvex
