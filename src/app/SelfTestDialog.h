#pragma once
// "Selbsttest": runs the engine's self test on the disk's images, repairing what differs unless
// "nur Prüfen" is checked; each run's report is appended under "Prüfmonitor".
#include <wx/dialog.h>

#include "partition/CHardDisk.h"

class wxCheckBox;
class wxTextCtrl;

namespace korvex {

class CSelfTestDlg final : public wxDialog {
 public:
  CSelfTestDlg(wxWindow* parent, CHardDisk& disk);

  wxCheckBox& checkOnly() const { return *checkOnly_; }
  wxTextCtrl& report() const { return *report_; }
  // "&Prüfen".
  void Test();

 private:
  CHardDisk& disk_;
  wxCheckBox* checkOnly_ = nullptr;
  wxTextCtrl* report_ = nullptr;
};

}  // namespace korvex
