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
  // For a menu entry; entry must name an object of workingCopy.
  CPasswordDlg(wxWindow* parent, WorkingCopy& workingCopy, const ObjectRef& entry, CPrompt& prompt);
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
  WorkingCopy* workingCopy_ = nullptr;
  std::optional<ObjectRef> entry_;  // nothing for a floppy drive
  FloppyDrive drive_ = FloppyDrive::A;
  wxTextCtrl* password_ = nullptr;
  wxTextCtrl* repetition_ = nullptr;
  wxCheckBox* protected_ = nullptr;
};

}  // namespace korvex
