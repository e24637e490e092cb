#include "app/PartTypeDialog.h"

#include <wx/button.h>
#include <wx/sizer.h>

#include "app/EditList.h"
#include "wxcommon/WxText.h"
#include "parttypes/PartTypeCatalogue.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr int kMaxRows = 255;

}  // namespace

CPartTypeDlg::CPartTypeDlg(wxWindow* parent, RegistryStore& registry, CPrompt& prompt)
    : wxDialog(parent, wxID_ANY, Wx("Partitionstypen...")), registry_(registry), prompt_(prompt) {
  table_ = new CEditList(this);
  table_->SetName(Wx("Partitionstypen"));
  table_->InsertColumn(0, Wx(LoadResString(IDS_COLUMN_ID)), wxLIST_FORMAT_LEFT, 60);
  table_->InsertColumn(1, Wx(LoadResString(IDS_COLUMN_NAME)), wxLIST_FORMAT_LEFT, 191);
  for (const CatalogueRow& row : ReadCatalogueRows(registry_)) table_->AppendRow({row.idText, row.name});
  if (table_->GetItemCount() > 0) table_->EnsureVisible(0);

  close_ = new wxButton(this, wxID_OK, Wx("&Schließen"));
  add_ = new wxButton(this, wxID_ANY, Wx("&Hinzufügen"));
  delete_ = new wxButton(this, wxID_ANY, Wx("&Löschen"));
  close_->SetDefault();
  close_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    if (CloseAndStore()) EndModal(wxID_OK);
  });
  // Only "Schließen" stores; Escape and the title bar's close button drop every change.
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE) EndModal(wxID_CANCEL);
    else event.Skip();
  });
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(wxID_CANCEL); });
  add_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { AddRow(); });
  delete_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { DeleteRow(); });

  auto* buttons = new wxBoxSizer(wxVERTICAL);
  for (wxButton* button : {close_, add_, delete_}) buttons->Add(button, 0, wxEXPAND | wxBOTTOM, 6);
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(table_, 1, wxEXPAND | wxALL, 11);
  top->Add(buttons, 0, wxTOP | wxRIGHT, 11);
  SetSizerAndFit(top);
  FollowRowCount();
  CentreOnParent();
}

void CPartTypeDlg::FollowRowCount() {
  add_->Enable(table_->GetItemCount() < kMaxRows);
  delete_->Enable(table_->GetItemCount() > 0);
}

void CPartTypeDlg::AddRow() {
  if (table_->GetItemCount() >= kMaxRows) return;
  table_->AppendRow({"?", LoadResString(IDS_UNKNOWN_TYPE)});
  FollowRowCount();
}

void CPartTypeDlg::DeleteRow() {
  table_->DeleteCurrentRow();
  FollowRowCount();
}

bool CPartTypeDlg::CloseAndStore() {
  std::vector<CatalogueRow> rows;
  for (const auto& cells : table_->Rows()) rows.push_back({cells.at(0), cells.at(1)});
  if (const std::string problem = CheckCatalogueRows(rows); !problem.empty()) {
    prompt_.Message(problem, PromptIcon::Stop);
    return false;
  }
  if (!StoreCatalogueRows(registry_, rows)) {
    prompt_.Message(text::kCatalogueNotStored, PromptIcon::Stop);
    return false;
  }
  return true;
}

}  // namespace korvex
