#include "app/SelfTestDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "wxcommon/WxText.h"
#include "bootengine/SelfTest.h"

namespace korvex {

CSelfTestDlg::CSelfTestDlg(wxWindow* parent, CHardDisk& disk)
    : wxDialog(parent, wxID_ANY, Wx("Selbsttest")), disk_(disk) {
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(new wxStaticText(this, wxID_ANY, Wx("Prüfmonitor")), 0, wxLEFT | wxRIGHT | wxTOP, 11);
  report_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(420, 220),
                           wxTE_MULTILINE | wxTE_READONLY);
  report_->SetName(Wx("Prüfmonitor"));
  top->Add(report_, 1, wxEXPAND | wxALL, 11);
  checkOnly_ = new wxCheckBox(this, wxID_ANY, Wx("nur Prüfen, gefundene Fehler nicht beseitigen"));
  top->Add(checkOnly_, 0, wxLEFT | wxRIGHT, 11);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* test = new wxButton(this, wxID_ANY, Wx("&Prüfen"));
  test->SetDefault();
  test->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Test(); });
  buttons->Add(test, 0, wxRIGHT, 6);
  buttons->Add(new wxButton(this, wxID_CANCEL, Wx("&Schließen")), 0);
  top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 11);
  SetSizerAndFit(top);
  CentreOnParent();
}

void CSelfTestDlg::Test() {
  const SelfTestReport result = SelfTest(disk_, checkOnly_->GetValue());
  // The report's "\r\n" breaks become the control's own.
  wxString text = Wx(result.text);
  text.Replace("\r\n", "\n");
  report_->AppendText(text);
  if (!text.EndsWith("\n")) report_->AppendText("\n");
}

}  // namespace korvex
