#pragma once
// "Bootmanager installieren...": up to four of the disk's first primary-level objects as boot
// menu entries and an optional backup file of the first two sectors; "&Installieren" hands them
// to the core's installation.
#include <vector>

#include <wx/dialog.h>

#include "bootengine/EngineInstall.h"

class wxCheckBox;

namespace korvex {

class CBackupFileField;

class CInstallEngineDlg final : public wxDialog {
 public:
  CInstallEngineDlg(wxWindow* parent, CHardDisk& disk, CPrompt& prompt);

  const std::vector<wxCheckBox*>& choices() const { return boxes_; }
  CBackupFileField& backupFile() const { return *backup_; }
  // "&Installieren": false, with the dialog still open, when the installation was refused.
  bool Install();

 private:
  CHardDisk& disk_;
  CPrompt& prompt_;
  std::vector<wxCheckBox*> boxes_;
  CBackupFileField* backup_ = nullptr;
};

}  // namespace korvex
