#include "app/DeviceView.h"

#include <functional>

#include <wx/menu.h>
#include <wx/tooltip.h>

#include "app/Icons.h"
#include "app/MainFrame.h"
#include "app/WxCommands.h"
#include "platform/StringTable.h"
#include "wxcommon/WxText.h"

namespace korvex {
namespace {

// GTK's indent per tree level, and the room of the expander, the icon and the cell's padding
// before and after a label (device-independent pixels).
constexpr int kLevelIndent = 18;
constexpr int kIconAndPadding = 52;

// The node a tree item stands for, and the kind its icon shows.
class NodeData final : public wxClientData {
 public:
  NodeData(const NodeRef& ref, NodeKind kind) : ref(ref), kind(kind) {}
  NodeRef ref;
  NodeKind kind;
};

// The tree's store in the order of the core's device tree: the toolkit's store would put
// containers (disks, extended partitions) before the objects beside them.
class InOrderStore final : public wxDataViewTreeStore {
 public:
  bool HasDefaultCompare() const override { return false; }
};

void AppendEntries(wxMenu& menu, const std::vector<MenuEntry>& entries, const CMainFrame& frame) {
  for (const MenuEntry& entry : entries) {
    if (!entry.children.empty()) {
      auto* sub = new wxMenu;
      AppendEntries(*sub, entry.children, frame);
      menu.AppendSubMenu(sub, Wx(entry.text));
    } else if (!entry.command) {
      menu.AppendSeparator();
    } else {
      menu.Append(WxIdOf(*entry.command), Wx(entry.text), Wx(LoadResString(static_cast<unsigned>(*entry.command))));
      // A command whose dialog is not there yet stays greyed wherever it appears.
      menu.Enable(WxIdOf(*entry.command), entry.enabled && frame.HasHandler(*entry.command));
    }
  }
}

}  // namespace

CDeviceView::CDeviceView(wxWindow* parent, CMainFrame& frame)
    : wxDataViewTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxDV_NO_HEADER | wxDV_SINGLE | wxBORDER_THEME),
      frame_(frame) {
  SetName(Wx("Geräte"));
  auto* store = new InOrderStore;
  AssociateModel(store);
  store->DecRef();
  AssignImageList(CreateTreeImageList());
  presentMenu = [this](wxMenu& menu, const wxPoint& position) { PopupMenu(&menu, position); };
  Bind(wxEVT_DATAVIEW_SELECTION_CHANGED, &CDeviceView::OnSelectionChanged, this);
  Bind(wxEVT_DATAVIEW_ITEM_CONTEXT_MENU, &CDeviceView::OnContextMenu, this);
  Bind(wxEVT_CHAR_HOOK, &CDeviceView::OnKey, this);
  GetMainWindow()->Bind(wxEVT_MOTION, &CDeviceView::OnMouseMove, this);
  // The context menus keep the states they were built with: the menu bar's command-state table
  // does not reach them on their way to the frame.
  Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent&) {}, kFirstCommandWxId, kLastCommandWxId);
}

void CDeviceView::Rebuild(const DeviceNode& tree, const std::optional<NodeRef>& select) {
  rebuilding_ = true;
  Freeze();
  DeleteAllItems();
  tipItem_ = wxDataViewItem();
  widest_ = 0;
  const std::function<void(const wxDataViewItem&, const DeviceNode&, int)> add = [&](const wxDataViewItem& parent,
                                                                                    const DeviceNode& node, int depth) {
    const int image = TreeIconOf(node.kind, node.details.fileSystem);
    auto* data = new NodeData(node.ref, node.kind);
    const wxString label = Wx(node.label);
    widest_ = std::max(widest_, FromDIP(depth * kLevelIndent + kIconAndPadding) + GetTextExtent(label).GetWidth());
    if (node.children.empty()) {
      AppendItem(parent, label, image, data);
      return;
    }
    const wxDataViewItem item = AppendContainer(parent, label, image, image, data);
    for (const DeviceNode& child : node.children) add(item, child, depth + 1);
    Expand(item);
  };
  add(wxDataViewItem(), tree, 0);
  wxDataViewItem chosen;
  if (select) {
    chosen = Find(*select);
    if (!chosen.IsOk() && select->type == NodeRef::Type::Object) chosen = Find(NodeRef::Disk(select->device));
  }
  shown_ = chosen.IsOk() ? chosen : GetNthChild(wxDataViewItem(), 0);
  Select(shown_);
  Thaw();
  rebuilding_ = false;
}

wxDataViewItem CDeviceView::Find(const NodeRef& ref) const {
  const std::function<wxDataViewItem(const wxDataViewItem&)> search = [&](const wxDataViewItem& parent) {
    for (int i = 0; i < GetChildCount(parent); ++i) {
      const wxDataViewItem item = GetNthChild(parent, static_cast<unsigned>(i));
      if (RefOf(item) == ref) return item;
      if (const wxDataViewItem found = search(item); found.IsOk()) return found;
    }
    return wxDataViewItem();
  };
  return search(wxDataViewItem());
}

NodeRef CDeviceView::RefOf(const wxDataViewItem& item) const {
  return static_cast<const NodeData*>(GetItemData(item))->ref;
}

std::optional<NodeRef> CDeviceView::SelectedNode() const {
  const wxDataViewItem item = GetSelection();
  if (!item.IsOk()) return std::nullopt;
  return RefOf(item);
}

bool CDeviceView::SelectNode(const NodeRef& ref) {
  const wxDataViewItem item = Find(ref);
  if (!item.IsOk()) return false;
  if (item == shown_) return true;
  if (!frame_.MayLeaveRightPane()) return false;
  // Applying the form's values may have rebuilt the tree: look the node up again.
  const wxDataViewItem now = Find(ref);
  if (!now.IsOk()) return false;
  shown_ = now;
  Select(now);
  EnsureVisible(now);
  frame_.ShowRightPaneForSelection();
  return true;
}

void CDeviceView::OnSelectionChanged(wxDataViewEvent&) {
  if (rebuilding_) return;
  const wxDataViewItem item = GetSelection();
  if (!item.IsOk() || item == shown_) return;
  const wxDataViewItem previous = shown_;
  if (!frame_.MayLeaveRightPane()) {
    Select(previous);  // the right pane keeps its node
    return;
  }
  shown_ = GetSelection();  // the same item, unless an apply rebuilt the tree
  frame_.ShowRightPaneForSelection();
}

std::unique_ptr<wxMenu> CDeviceView::ContextMenuOf(const NodeRef& ref) const {
  const auto menu = ContextMenuFor(frame_.doc().workingCopy(), ref);
  if (!menu) return nullptr;
  auto popup = std::make_unique<wxMenu>();
  AppendEntries(*popup, menu->entries, frame_);
  return popup;
}

void CDeviceView::ShowContextMenu(const wxPoint& position) {
  const auto node = SelectedNode();
  const auto popup = node ? ContextMenuOf(*node) : nullptr;
  if (!popup) return;
  // The node's tool tip would lie over the menu.
  menuOpen_ = true;
  UnsetToolTip();
  GetMainWindow()->UnsetToolTip();
  tipItem_ = wxDataViewItem();
  presentMenu(*popup, position);
  menuOpen_ = false;
}

void CDeviceView::OnContextMenu(wxDataViewEvent& event) {
  const wxDataViewItem item = event.GetItem();
  if (!item.IsOk()) return;
  if (item != shown_ && !SelectNode(RefOf(item))) return;  // the right pane kept the old selection
  ShowContextMenu(event.GetPosition() == wxDefaultPosition ? wxDefaultPosition
                                                           : ScreenToClient(wxGetMousePosition()));
}

void CDeviceView::OnKey(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if ((key == WXK_F10 && event.GetModifiers() == wxMOD_SHIFT) || key == WXK_MENU || key == WXK_WINDOWS_MENU) {
    const wxDataViewItem item = GetSelection();
    wxRect rect = item.IsOk() ? GetItemRect(item) : wxRect();
    ShowContextMenu(item.IsOk() ? wxPoint(rect.GetLeft() + rect.GetHeight(), rect.GetBottom()) : wxDefaultPosition);
    return;
  }
  if (key == WXK_DELETE && event.GetModifiers() == wxMOD_NONE) {
    wxCommandEvent command(wxEVT_MENU, WxIdOf(CommandId::Delete));
    command.SetEventObject(this);
    frame_.ProcessWindowEvent(command);
    return;
  }
  event.Skip();
}

void CDeviceView::OnMouseMove(wxMouseEvent& event) {
  event.Skip();
  if (menuOpen_) return;
  wxDataViewItem item;
  wxDataViewColumn* column = nullptr;
  HitTest(event.GetPosition(), item, column);
  if (item == tipItem_) return;
  tipItem_ = item;
  if (item.IsOk()) {
    GetMainWindow()->SetToolTip(GetItemText(item));
  } else {
    GetMainWindow()->UnsetToolTip();
  }
}

std::optional<std::string> CDeviceView::LabelOf(const NodeRef& ref) const {
  const wxDataViewItem item = Find(ref);
  if (!item.IsOk()) return std::nullopt;
  return Utf8(GetItemText(item));
}

std::optional<NodeKind> CDeviceView::IconOf(const NodeRef& ref) const {
  const wxDataViewItem item = Find(ref);
  if (!item.IsOk()) return std::nullopt;
  return static_cast<const NodeData*>(GetItemData(item))->kind;
}

std::optional<NodeRef> CDeviceView::ParentOf(const NodeRef& ref) const {
  const wxDataViewItem item = Find(ref);
  if (!item.IsOk()) return std::nullopt;
  const wxDataViewItem parent = GetItemParent(item);
  if (!parent.IsOk()) return std::nullopt;
  return RefOf(parent);
}

int CDeviceView::ChildCount(const NodeRef& ref) const {
  const wxDataViewItem item = Find(ref);
  return item.IsOk() ? GetChildCount(item) : 0;
}

int CDeviceView::BestLabelWidth() const { return widest_; }

}  // namespace korvex
