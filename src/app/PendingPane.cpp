#include "app/PendingPane.h"

#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "platform/Texts.h"
#include "wxcommon/WxText.h"

namespace korvex {
namespace {

// About six lines of the list.
constexpr int kListHeight = 110;

}  // namespace

CPendingPane::CPendingPane(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
  auto* caption = new wxStaticText(this, wxID_ANY, Wx(text::kPendingPaneTitle));
  list_ = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(-1, kListHeight), 0, nullptr,
                        wxLB_SINGLE | wxLB_HSCROLL);
  list_->SetName(Wx(text::kPendingPaneTitle));
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(caption, 0, wxLEFT | wxRIGHT | wxTOP, 4);
  top->Add(list_, 1, wxEXPAND | wxALL, 4);
  SetSizer(top);
}

void CPendingPane::ShowLines(const std::vector<std::string>& lines) {
  wxArrayString items;
  for (const std::string& line : lines) items.Add(Wx(line));
  list_->Set(items);
}

}  // namespace korvex
