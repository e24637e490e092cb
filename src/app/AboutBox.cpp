#include "app/AboutBox.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "ProgramVersion.h"
#include "wxcommon/Drawing.h"
#include "wxcommon/WxText.h"

namespace korvex {

void ShowAboutBox(wxWindow* parent) {
  wxDialog dialog(parent, wxID_ANY, Wx("Info über korvex"));
  auto* name = new wxStaticText(&dialog, wxID_ANY, Wx(std::string("Korvex ") + kProgramVersion));
  name->SetFont(wxFontInfo(22).Bold().FaceName("Verdana"));
  auto* texts = new wxBoxSizer(wxVERTICAL);
  texts->Add(name, 0, wxBOTTOM, 6);
  // A label reads "&" as a mnemonic: the doubled one shows as one ampersand.
  texts->Add(new wxStaticText(&dialog, wxID_ANY, Wx("Bootmanager && Partitioniertool")));
  auto* body = new wxBoxSizer(wxHORIZONTAL);
  body->Add(new wxStaticBitmap(&dialog, wxID_ANY, AboutPicture()), 0, wxALL, 12);
  body->Add(texts, 1, wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM | wxRIGHT, 12);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(body);
  top->Add(new wxButton(&dialog, wxID_OK, Wx("OK")), 0, wxALIGN_RIGHT | wxALL, 10);
  dialog.SetSizerAndFit(top);
  dialog.CentreOnParent();
  dialog.ShowModal();
}

}  // namespace korvex
