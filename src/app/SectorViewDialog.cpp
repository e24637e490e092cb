#include "app/SectorViewDialog.h"

#include <wx/button.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "app/HexView.h"
#include "wxcommon/WxText.h"

namespace korvex {

CSectorViewDlg::CSectorViewDlg(wxWindow* parent, std::span<const std::uint8_t> bytes, CPrompt& prompt)
    : wxDialog(parent, wxID_ANY, Wx("Sektoransicht"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
  view_ = new CHexView(this, wxID_ANY, prompt);
  view_->SetData(bytes);
  // Room for the three columns of 16 bytes and 16 rows; the rest is reached by scrolling.
  const wxSize cell = view_->CellSize();
  const auto columns = view_->model().Columns();
  view_->SetMinSize(wxSize(static_cast<int>(columns.characterStart + view_->model().RowWidth() + 1) * cell.x +
                               wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, view_) + 4,
                           16 * cell.y + 4));
  auto* close = new wxButton(this, wxID_OK, Wx("Schließen"));
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(view_, 1, wxEXPAND | wxALL, 11);
  top->Add(close, 0, wxALIGN_RIGHT | wxRIGHT | wxBOTTOM, 11);
  SetSizerAndFit(top);
  view_->SetFocus();
  CentreOnParent();
}

}  // namespace korvex
