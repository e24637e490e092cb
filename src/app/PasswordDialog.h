#pragma once
// "Passwort für …": the boot-time password of a menu entry or of a floppy drive, typed twice.
// OK stores it (the core checks both entries), "Löschen" deletes it and leaves the dialog open.
#include <optional>

#include <wx/dialog.h>

#include "bootengine/Passwords.h"

class wxCheckBox;
class wxTextCtrl;

namespace korvex {

class CPasswordDlg final : public wxDialog {
 public:
  // For a menu entry of disk.
  CPasswordDlg(wxWindow* parent, CHardDisk& disk, CPartition& entry, CPrompt& prompt);
  // For floppy drive A: or B:, on every disk that carries the engine.
  CPasswordDlg(wxWindow* parent, WorkingCopy& workingCopy, FloppyDrive drive, CPrompt& prompt);

  wxTextCtrl& password() const { return *password_; }
  wxTextCtrl& repetition() const { return *repetition_; }
  wxCheckBox& protectedBox() const { return *protected_; }
  // OK: false, with the dialog still open, when the entries were refused.
  bool Store();
  // "Löschen".
  void Delete();

 private:
  CPasswordDlg(wxWindow* parent, const std::string& target, bool isDrive, CPrompt& prompt);
  void ShowProtected();

  CPrompt& prompt_;
  CHardDisk* disk_ = nullptr;
  CPartition* entry_ = nullptr;
  WorkingCopy* workingCopy_ = nullptr;
  FloppyDrive drive_ = FloppyDrive::A;
  wxTextCtrl* password_ = nullptr;
  wxTextCtrl* repetition_ = nullptr;
  wxCheckBox* protected_ = nullptr;
};

}  // namespace korvex
