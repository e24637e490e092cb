#include "app/AnalysisDialog.h"

#include <wx/button.h>
#include <wx/sizer.h>

#include "analysis/AdoptHit.h"
#include "analysis/DiskScan.h"
#include "analysis/DriveSectors.h"
#include "app/Icons.h"
#include "app/SectorViewDialog.h"
#include "wxcommon/WxText.h"
#include "platform/StringFormat.h"
#include "shell/DeviceTree.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// A listed hit, kept with its item.
class HitData final : public wxTreeItemData {
 public:
  explicit HitData(ScanHit hit) : hit(std::move(hit)) {}
  ScanHit hit;
};

// The sector in decimal; a file system adds its name and label.
std::string HitText(const ScanHit& hit) {
  std::string text = std::to_string(hit.sector);
  if (hit.fileSystem != FileSystemKind::None) {
    text += std::string("  ") + FileSystemName(hit.fileSystem);
    if (!hit.label.empty()) text += " \"" + hit.label + "\"";
  }
  return text;
}

}  // namespace

CAnalysisDlg::CAnalysisDlg(wxWindow* parent, CHardDisk& disk, CPrompt& prompt)
    : CLongWorkDlg(parent, "Festplattenanalyse", prompt, true), disk_(disk) {
  tree_ = new wxTreeCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(260, 240),
                         wxTR_DEFAULT_STYLE | wxTR_SINGLE | wxBORDER_SUNKEN);
  tree_->AssignImageList(CreateScanImageList());
  root_ = tree_->AddRoot(Wx(disk.label), static_cast<int>(NodeKind::Disk));
  tree_->Expand(root_);
  tree_->Bind(wxEVT_TREE_SEL_CHANGED, [this](wxTreeEvent&) { FollowSelection(); });
  tree_->Bind(wxEVT_TREE_ITEM_ACTIVATED, [this](wxTreeEvent&) {
    if (view_->IsEnabled()) ViewSelected();
  });
  tree_->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
    int where = 0;
    const wxTreeItemId item = tree_->HitTest(event.GetPosition(), where);
    if (item == root_ && (where & wxTREE_HITTEST_ONITEM) != 0 && ClickRoot()) return;
    event.Skip();
  });
  // A click on the dialog's own background brings the result buttons back in line with the
  // selection.
  Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
    FollowSelection();
    event.Skip();
  });

  start_ = new wxButton(this, wxID_OK, Wx("Start"));
  view_ = new wxButton(this, wxID_ANY, Wx("Ansehen"));
  delete_ = new wxButton(this, wxID_ANY, Wx("Löschen"));
  adopt_ = new wxButton(this, wxID_ANY, Wx("Übernehmen"));
  start_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Start(); });
  view_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ViewSelected(); });
  delete_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { DeleteSelected(); });
  adopt_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { AdoptSelected(); });
  auto* list = new wxBoxSizer(wxVERTICAL);
  list->Add(tree_, 1, wxEXPAND);
  LayOut({list}, StatusKind::StatusLine, start_, {view_, delete_, adopt_});
  FollowSelection();
}

void CAnalysisDlg::Start() {
  if (Running()) return;
  tree_->DeleteChildren(root_);
  start_->Disable();
  CHardDisk& disk = disk_;
  StartWork([this, &disk](IProgressSink& progress, const StopFlag& stop) {
    ScanResults results;
    return ScanDisk(disk, results, progress, stop, [this](const ScanHit& hit) {
      PostToWindow([this, hit] { AddHit(hit); });
    });
  }, [this](const WorkOutcome& outcome) { OnEnded(outcome); });
  FollowSelection();
}

void CAnalysisDlg::AddHit(const ScanHit& hit) {
  tree_->AppendItem(root_, Wx(HitText(hit)), static_cast<int>(hit.kind), -1, new HitData(hit));
  tree_->Expand(root_);
}

// A finished search cannot be run again; a stopped or failed one can.
void CAnalysisDlg::OnEnded(const WorkOutcome& outcome) {
  if (outcome.end == WorkEnd::Done) {
    cancelButton().SetLabel(Wx("Beenden"));
  } else {
    start_->Enable();
  }
  wxTreeItemIdValue cookie;
  const wxTreeItemId first = tree_->GetFirstChild(root_, cookie);
  if (first.IsOk()) tree_->SelectItem(first);
  FollowSelection();
}

std::vector<ScanHit> CAnalysisDlg::Hits() const {
  std::vector<ScanHit> hits;
  wxTreeItemIdValue cookie;
  for (wxTreeItemId item = tree_->GetFirstChild(root_, cookie); item.IsOk();
       item = tree_->GetNextChild(root_, cookie)) {
    hits.push_back(static_cast<const HitData*>(tree_->GetItemData(item))->hit);
  }
  return hits;
}

bool CAnalysisDlg::SelectHit(std::uint64_t sector) {
  wxTreeItemIdValue cookie;
  for (wxTreeItemId item = tree_->GetFirstChild(root_, cookie); item.IsOk();
       item = tree_->GetNextChild(root_, cookie)) {
    if (static_cast<const HitData*>(tree_->GetItemData(item))->hit.sector == sector) {
      tree_->SelectItem(item);
      FollowSelection();
      return true;
    }
  }
  return false;
}

bool CAnalysisDlg::ClickRoot() {
  const wxTreeItemId selected = tree_->GetSelection();
  if (selected.IsOk() && selected != root_) return false;
  // The root stays expanded, so the item below it is its first child.
  wxTreeItemIdValue cookie;
  const wxTreeItemId first = tree_->GetFirstChild(root_, cookie);
  if (!first.IsOk()) return false;
  tree_->SelectItem(first);
  FollowSelection();
  return true;
}

const ScanHit* CAnalysisDlg::SelectedHit() const {
  const wxTreeItemId item = tree_->GetSelection();
  if (!item.IsOk() || item == root_) return nullptr;
  const auto* data = static_cast<const HitData*>(tree_->GetItemData(item));
  return data != nullptr ? &data->hit : nullptr;
}

// The result buttons act on a selected hit, and never while the search runs.
void CAnalysisDlg::FollowSelection() {
  const bool hit = !Running() && SelectedHit() != nullptr;
  for (wxButton* button : {view_, delete_, adopt_}) button->Enable(hit);
}

void CAnalysisDlg::ViewSelected() {
  const ScanHit* hit = SelectedHit();
  if (hit == nullptr || Running()) return;
  DriveSectors sectors(disk_, SearchSectors(disk_));
  SectorBytes bytes{};
  if (!sectors.ReadSector(hit->sector, bytes)) {
    prompt().Message(StrFormat(text::kSectorUnreadable, static_cast<unsigned long long>(hit->sector),
                               disk_.DeviceName().c_str()),
                     PromptIcon::Stop);
    return;
  }
  CSectorViewDlg view(this, bytes, prompt());
  view.ShowModal();
}

void CAnalysisDlg::DeleteSelected() {
  if (SelectedHit() == nullptr || Running()) return;
  tree_->Delete(tree_->GetSelection());
  FollowSelection();
}

CPartition* CAnalysisDlg::AdoptSelected() {
  const ScanHit* hit = SelectedHit();
  if (hit == nullptr || Running()) return nullptr;
  CPartition* adopted = AdoptHit(disk_, *hit, std::nullopt, prompt());
  if (adopted != nullptr) {
    prompt().Message(StrFormat(text::kAdopted, adopted->start, adopted->start + adopted->length - 1,
                               disk_.label.c_str()),
                     PromptIcon::Information);
  }
  return adopted;
}

}  // namespace korvex
