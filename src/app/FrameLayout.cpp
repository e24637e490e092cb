// The main window's panes, its place on the screen and its keys: the tree on the left, the disk
// map above the form on the right, the splitter between them that grows both with the window and
// can be dragged, the pending changes below both, the size and place the window had when it was
// closed, and F5.
#include <wx/display.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/splitter.h>

#include "app/DeviceView.h"
#include "app/DiskMap.h"
#include "app/MainFrame.h"
#include "app/PendingPane.h"
#include "app/SystemInfoView.h"
#include "app/WxCommands.h"
#include "shell/WindowPlacement.h"

namespace korvex {
namespace {

// The share of a change of the window's width that goes to the tree.
constexpr double kTreeGravity = 0.4;
// What the forms on the right need beside the tree at the first start.
constexpr int kFormWidth = 600;
constexpr int kMapMargin = 6;

ScreenRect ToScreenRect(const wxRect& rect) { return {rect.x, rect.y, rect.width, rect.height}; }
wxRect ToWxRect(const ScreenRect& rect) { return {rect.x, rect.y, rect.width, rect.height}; }

// The visible part of the screen that shows the point, else of the first screen.
ScreenRect VisibleArea(const wxPoint& point) {
  const int index = wxDisplay::GetFromPoint(point);
  return ToScreenRect(wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea());
}

// The node of ref's disk in tree, or nothing.
const DeviceNode* DiskNodeOf(const DeviceNode& tree, const NodeRef& ref) {
  if (ref.type == NodeRef::Type::Computer) return nullptr;
  for (const DeviceNode& disk : tree.children) {
    if (disk.ref.device == ref.device) return &disk;
  }
  return nullptr;
}

}  // namespace

void CMainFrame::CreatePanes() {
  splitter_ = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_LIVE_UPDATE | wxSP_3DSASH);
  splitter_->SetMinimumPaneSize(kMinPaneWidth);
  splitter_->SetSashGravity(kTreeGravity);
  tree_ = new CDeviceView(splitter_, *this);
  area_ = new wxPanel(splitter_);
  map_ = new CDiskMap(area_);
  map_->onClick = [this](const NodeRef& ref) { tree_->SelectNode(ref); };
  right_ = new CSystemInfo(area_, *doc_);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(map_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kMapMargin);
  column->Add(right_, 1, wxEXPAND);
  area_->SetSizer(column);
  splitter_->SplitVertically(tree_, area_, kMinPaneWidth);
  // Below both, the list of changes a save would write.
  pending_ = new CPendingPane(this);
  auto* layout = new wxBoxSizer(wxVERTICAL);
  layout->Add(splitter_, 1, wxEXPAND);
  layout->Add(pending_, 0, wxEXPAND);
  SetSizer(layout);
  Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    event.Skip();
    if (!IsMaximized() && !IsIconized()) normalRect_ = GetRect();
  });
  Bind(wxEVT_MOVE, [this](wxMoveEvent& event) {
    event.Skip();
    if (!IsMaximized() && !IsIconized()) normalRect_ = GetRect();
  });
}

void CMainFrame::PlaceOnScreen() {
  const auto remembered = ReadWindowPlacement(doc_->registry());
  int treeWidth = 0;
  if (remembered) {
    const wxRect rect = ToWxRect(remembered->frame);
    SetSize(ToWxRect(ClampToScreen(remembered->frame, VisibleArea(rect.GetPosition() + rect.GetSize() / 2))));
    treeWidth = remembered->treeWidth;
  } else {
    // Wide enough for every label of the tree and the forms beside it.
    treeWidth = tree_->BestLabelWidth() + splitter_->GetSashSize();
    const wxSize decorations = GetSize() - GetClientSize();
    const ScreenRect screen = VisibleArea(wxPoint(0, 0));
    SetSize(ToWxRect(FirstFramePlacement(treeWidth + kFormWidth + decorations.x, kFirstFrameHeight, screen)));
  }
  normalRect_ = GetRect();
  Layout();
  splitter_->SetSashPosition(ClampTreeWidth(treeWidth, GetClientSize().x));
  if (remembered && remembered->maximised) Maximize();
}

void CMainFrame::RememberPlacement() {
  // A store that cannot be written keeps the place it had; closing goes on.
  StoreWindowPlacement(doc_->registry(),
                       {ToScreenRect(normalRect_), IsMaximized(), splitter_->GetSashPosition()});
}

void CMainFrame::ShowDiskMap() {
  const auto selected = tree_->SelectedNode();
  const DeviceNode* disk = selected ? DiskNodeOf(shownTree_, *selected) : nullptr;
  if (disk != nullptr) map_->ShowDisk(*disk, *selected);
  if (map_->IsShown() != (disk != nullptr)) {
    map_->Show(disk != nullptr);
    area_->Layout();
  }
}

void CMainFrame::OnFrameKey(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_F5 && event.GetModifiers() == wxMOD_NONE) {
    wxCommandEvent reload(wxEVT_MENU, WxIdOf(CommandId::Reload));
    reload.SetEventObject(this);
    ProcessWindowEvent(reload);
    return;
  }
  event.Skip();
}

}  // namespace korvex
