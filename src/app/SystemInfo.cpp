#include "app/SystemInfo.h"

#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include "app/KorvexDoc.h"
#include "wxcommon/WxText.h"
#include "shell/SystemInfoText.h"

namespace korvex {

CSystemInfo::CSystemInfo(wxWindow* parent, CKorvexDoc& doc) : CRightPane(parent) {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Die Festplatten dieses Systems"));
  auto* text = new wxTextCtrl(group->GetStaticBox(), wxID_ANY, Wx(SystemInfoText(doc.workingCopy(), doc.registry())),
                              wxDefaultPosition, wxDefaultSize, wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
  text->SetName(Wx("Die Festplatten dieses Systems"));
  group->Add(text, 1, wxEXPAND | wxALL, 4);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(group, 1, wxEXPAND | wxALL, 8);
  SetSizer(top);
}

}  // namespace korvex
