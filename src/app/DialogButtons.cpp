#include "app/DialogButtons.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>

#include "wxcommon/WxText.h"

namespace korvex {

wxSizer* DialogButtonRow(wxDialog& dialog, const char* okLabel, std::function<bool()> action, const char* cancelLabel,
                         std::initializer_list<wxButton*> between) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  auto* ok = new wxButton(&dialog, wxID_OK, Wx(okLabel));
  ok->SetDefault();
  ok->Bind(wxEVT_BUTTON, [&dialog, action = std::move(action)](wxCommandEvent&) {
    if (action()) dialog.EndModal(wxID_OK);
  });
  row->Add(ok, 0, wxRIGHT, 6);
  for (wxButton* button : between) row->Add(button, 0, wxRIGHT, 6);
  row->Add(new wxButton(&dialog, wxID_CANCEL, Wx(cancelLabel)), 0);
  return row;
}

}  // namespace korvex
