#pragma once
// The right pane while a disk is selected: its number, name, geometry and capacity and, on a
// disk with the boot engine, the automatic-boot settings.
#include "app/RightPane.h"
#include "shell/OverViewSettings.h"

class wxChoice;
class wxRadioButton;
class wxTextCtrl;

namespace korvex {

class CKorvexDoc;

class COverView final : public CRightPane {
 public:
  COverView(wxWindow* parent, CKorvexDoc& doc, unsigned device);
  RightPane Kind() const override { return RightPane::Overview; }
  bool IsModified() const override;
  FormApplyResult Apply() override;

  // The automatic-boot controls; null on a disk without the boot engine.
  wxRadioButton* waitButton() const { return wait_; }
  wxRadioButton* autoBootButton() const { return autoBoot_; }
  wxChoice* choiceBox() const { return choice_; }
  wxTextCtrl* secondsField() const { return seconds_; }

 private:
  void AddDiskFields(wxSizer* sizer, const CHardDisk& disk);
  void AddBootSettings(wxSizer* sizer, const CHardDisk& disk);
  // The disk (it may have gone since the form was made) and the form's values, when the
  // controls still match the disk's choices.
  CHardDisk* Disk() const;
  std::optional<BootSettingsForm> FormValues(const std::vector<BootChoice>& choices) const;

  CKorvexDoc& doc_;
  unsigned device_;
  wxRadioButton* wait_ = nullptr;
  wxRadioButton* autoBoot_ = nullptr;
  wxChoice* choice_ = nullptr;
  wxTextCtrl* seconds_ = nullptr;
};

}  // namespace korvex
