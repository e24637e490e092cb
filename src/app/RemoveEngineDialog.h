#pragma once
// "Bootmanager entfernen...": one of the three ways out — an empty master boot record, the
// backup file made at installation, or chosen menu partitions kept in the partition table —
// handed to the core's removal by "&Entfernen".
#include <vector>

#include <wx/dialog.h>

#include "bootengine/EngineRemoval.h"

class wxCheckBox;
class wxRadioButton;

namespace korvex {

class CBackupFileField;

class CRemoveEngineDlg final : public wxDialog {
 public:
  CRemoveEngineDlg(wxWindow* parent, CHardDisk& disk, CPrompt& prompt);

  void ChooseMode(RemovalMode mode);
  RemovalMode mode() const;
  const std::vector<wxCheckBox*>& keepBoxes() const { return boxes_; }
  CBackupFileField& backupFile() const { return *backup_; }
  // "&Entfernen": false, with the dialog still open, when the removal was refused.
  bool Remove();

 private:
  void FollowMode();

  CHardDisk& disk_;
  CPrompt& prompt_;
  unsigned used_ = 0;  // check boxes that name a menu partition
  wxRadioButton* emptyMbr_ = nullptr;
  wxRadioButton* fromBackup_ = nullptr;
  wxRadioButton* keep_ = nullptr;
  CBackupFileField* backup_ = nullptr;
  std::vector<wxCheckBox*> boxes_;
};

}  // namespace korvex
