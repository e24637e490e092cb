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
#include "platform/Texts.h"
#include "shell/DeviceTree.h"
#include "shell/ScanHitText.h"

namespace korvex {

// A listed hit or lost extended partition, kept with its item.
class CAnalysisDlg::ItemData final : public wxTreeItemData {
 public:
  explicit ItemData(ScanHit hit) : hit(std::move(hit)) {}
  explicit ItemData(LostExtended lost) : lost(std::move(lost)) {}
  std::optional<ScanHit> hit;
  std::optional<LostExtended> lost;
};

CAnalysisDlg::CAnalysisDlg(wxWindow* parent, CHardDisk& disk, CPrompt& prompt)
    : CLongWorkDlg(parent, "Festplattenanalyse", prompt, true), disk_(disk) {
  tree_ = new wxTreeCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(520, 260),
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
  LayOut({list}, StatusKind::StatusLineAndEstimate, start_, {view_, delete_, adopt_});
  FollowSelection();
}

void CAnalysisDlg::Start() {
  if (Running()) return;
  tree_->DeleteChildren(root_);
  start_->Disable();
  CHardDisk& disk = disk_;
  StartWork([this, &disk](IProgressSink& progress, const StopFlag& stop) {
    ScanResults results;
    WorkOutcome outcome = ScanDisk(disk, results, progress, stop, [this](const ScanHit& hit) {
      PostToWindow([this, hit] { AddHit(hit); });
    });
    for (LostExtended& lost : results.extended) {
      PostToWindow([this, lost = std::move(lost)] { AddLostExtended(lost); });
    }
    return outcome;
  }, [this](const WorkOutcome& outcome) { OnEnded(outcome); });
  FollowSelection();
}

void CAnalysisDlg::AddHit(const ScanHit& hit) {
  tree_->AppendItem(root_, Wx(HitListText(hit)), static_cast<int>(hit.kind), -1, new ItemData(hit));
  tree_->Expand(root_);
}

void CAnalysisDlg::AddLostExtended(const LostExtended& lost) {
  tree_->AppendItem(root_, Wx(LostExtendedListText(lost)), static_cast<int>(NodeKind::ExtendedPartition), -1,
                    new ItemData(lost));
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

std::vector<const CAnalysisDlg::ItemData*> CAnalysisDlg::Items() const {
  std::vector<const ItemData*> items;
  wxTreeItemIdValue cookie;
  for (wxTreeItemId item = tree_->GetFirstChild(root_, cookie); item.IsOk();
       item = tree_->GetNextChild(root_, cookie)) {
    items.push_back(static_cast<const ItemData*>(tree_->GetItemData(item)));
  }
  return items;
}

std::vector<ScanHit> CAnalysisDlg::Hits() const {
  std::vector<ScanHit> hits;
  for (const ItemData* data : Items()) {
    if (data->hit) hits.push_back(*data->hit);
  }
  return hits;
}

std::vector<LostExtended> CAnalysisDlg::LostExtendedPartitions() const {
  std::vector<LostExtended> lost;
  for (const ItemData* data : Items()) {
    if (data->lost) lost.push_back(*data->lost);
  }
  return lost;
}

bool CAnalysisDlg::SelectItem(const std::function<bool(const ItemData&)>& wanted) {
  wxTreeItemIdValue cookie;
  for (wxTreeItemId item = tree_->GetFirstChild(root_, cookie); item.IsOk();
       item = tree_->GetNextChild(root_, cookie)) {
    if (wanted(*static_cast<const ItemData*>(tree_->GetItemData(item)))) {
      tree_->SelectItem(item);
      FollowSelection();
      return true;
    }
  }
  return false;
}

bool CAnalysisDlg::SelectHit(std::uint64_t sector) {
  return SelectItem([&](const ItemData& data) { return data.hit && data.hit->sector == sector; });
}

bool CAnalysisDlg::SelectLostExtended(std::uint64_t start) {
  return SelectItem([&](const ItemData& data) { return data.lost && data.lost->range.start == start; });
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

const CAnalysisDlg::ItemData* CAnalysisDlg::SelectedItem() const {
  const wxTreeItemId item = tree_->GetSelection();
  if (!item.IsOk() || item == root_) return nullptr;
  return static_cast<const ItemData*>(tree_->GetItemData(item));
}

// The result buttons act on a selected hit, and never while the search runs.
void CAnalysisDlg::FollowSelection() {
  const bool hit = !Running() && SelectedItem() != nullptr;
  for (wxButton* button : {view_, delete_, adopt_}) button->Enable(hit);
}

void CAnalysisDlg::ViewSelected() {
  const ItemData* item = SelectedItem();
  if (item == nullptr || Running()) return;
  // A lost extended partition shows its first record.
  const std::uint64_t sector = item->hit ? item->hit->sector : item->lost->range.start;
  DriveSectors sectors(disk_, SearchSectors(disk_));
  SectorBytes bytes{};
  if (!sectors.ReadSector(sector, bytes)) {
    prompt().Message(StrFormat(text::kSectorUnreadable, static_cast<unsigned long long>(sector),
                               disk_.DeviceName().c_str()),
                     PromptIcon::Stop);
    return;
  }
  CSectorViewDlg view(this, bytes, prompt());
  view.ShowModal();
}

void CAnalysisDlg::DeleteSelected() {
  if (SelectedItem() == nullptr || Running()) return;
  tree_->Delete(tree_->GetSelection());
  FollowSelection();
}

CPartition* CAnalysisDlg::AdoptSelected() {
  const ItemData* item = SelectedItem();
  if (item == nullptr || Running()) return nullptr;
  if (item->lost) {
    CPartition* ext = AdoptLostExtended(disk_, *item->lost, prompt());
    if (ext != nullptr) {
      prompt().Message(StrFormat(text::kAdoptedExtended, ext->start, static_cast<std::uint32_t>(ext->End() - 1),
                                 item->lost->drives.size(), disk_.label.c_str()),
                       PromptIcon::Information);
    }
    return ext;
  }
  CPartition* adopted = AdoptHit(disk_, *item->hit, std::nullopt, LostExtendedPartitions(), prompt());
  if (adopted != nullptr) {
    std::string message =
        StrFormat(text::kAdopted, adopted->start, adopted->start + adopted->length - 1, disk_.label.c_str());
    if (adopted->bootSectorRestore) {
      message += "\n" + StrFormat(text::kAdoptBootSectorRestored, adopted->bootSectorRestore->lba);
    }
    prompt().Message(message, PromptIcon::Information);
  }
  return adopted;
}

}  // namespace korvex
