#include "app/DeviceView.h"

#include <functional>

#include <wx/menu.h>

#include "app/Icons.h"
#include "app/MainFrame.h"
#include "app/WxCommands.h"
#include "wxcommon/WxText.h"
#include "platform/StringTable.h"

namespace korvex {
namespace {

// The node a tree item stands for.
class NodeData final : public wxTreeItemData {
 public:
  explicit NodeData(const NodeRef& ref) : ref(ref) {}
  NodeRef ref;
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
    : wxTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                 wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE | wxBORDER_THEME),
      frame_(frame) {
  SetName(Wx("Geräte"));
  AssignImageList(CreateTreeImageList());
  Bind(wxEVT_TREE_SEL_CHANGING, &CDeviceView::OnSelectionChanging, this);
  Bind(wxEVT_TREE_SEL_CHANGED, &CDeviceView::OnSelectionChanged, this);
  Bind(wxEVT_TREE_ITEM_RIGHT_CLICK, &CDeviceView::OnRightClick, this);
  // The context menus keep the states they were built with: the menu bar's command-state table
  // does not reach them on their way to the frame.
  Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent&) {}, kFirstCommandWxId, kLastCommandWxId);
}

void CDeviceView::Rebuild(const DeviceNode& tree, const std::optional<NodeRef>& select) {
  rebuilding_ = true;
  Freeze();
  DeleteAllItems();
  const std::function<void(const wxTreeItemId&, const DeviceNode&)> add = [&](const wxTreeItemId& parent,
                                                                              const DeviceNode& node) {
    const int image = static_cast<int>(node.kind);
    const wxTreeItemId item = parent.IsOk() ? AppendItem(parent, Wx(node.label), image, image, new NodeData(node.ref))
                                            : AddRoot(Wx(node.label), image, image, new NodeData(node.ref));
    for (const DeviceNode& child : node.children) add(item, child);
    if (!node.children.empty()) Expand(item);
  };
  add(wxTreeItemId(), tree);
  wxTreeItemId chosen;
  if (select) {
    chosen = Find(*select);
    if (!chosen.IsOk() && select->type == NodeRef::Type::Object) chosen = Find(NodeRef::Disk(select->device));
  }
  SelectItem(chosen.IsOk() ? chosen : GetRootItem());
  Thaw();
  rebuilding_ = false;
}

wxTreeItemId CDeviceView::Find(const NodeRef& ref) const {
  const std::function<wxTreeItemId(const wxTreeItemId&)> search = [&](const wxTreeItemId& item) -> wxTreeItemId {
    if (!item.IsOk()) return {};
    if (static_cast<NodeData*>(GetItemData(item))->ref == ref) return item;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(item, cookie); child.IsOk(); child = GetNextChild(item, cookie)) {
      if (const wxTreeItemId found = search(child); found.IsOk()) return found;
    }
    return {};
  };
  return search(GetRootItem());
}

std::optional<NodeRef> CDeviceView::SelectedNode() const {
  const wxTreeItemId item = GetSelection();
  if (!item.IsOk()) return std::nullopt;
  return static_cast<NodeData*>(GetItemData(item))->ref;
}

bool CDeviceView::SelectNode(const NodeRef& ref) {
  const wxTreeItemId item = Find(ref);
  if (!item.IsOk()) return false;
  SelectItem(item);
  return GetSelection() == item;
}

std::unique_ptr<wxMenu> CDeviceView::ContextMenuOf(const NodeRef& ref) const {
  const auto menu = ContextMenuFor(frame_.doc().workingCopy(), ref);
  if (!menu) return nullptr;
  auto popup = std::make_unique<wxMenu>();
  AppendEntries(*popup, menu->entries, frame_);
  return popup;
}

void CDeviceView::OnSelectionChanging(wxTreeEvent& event) {
  if (!rebuilding_ && !frame_.MayLeaveRightPane()) event.Veto();
}

void CDeviceView::OnSelectionChanged(wxTreeEvent&) {
  if (!rebuilding_) frame_.ShowRightPaneForSelection();
}

void CDeviceView::OnRightClick(wxTreeEvent& event) {
  const wxTreeItemId item = event.GetItem();
  if (!item.IsOk()) return;
  if (GetSelection() != item) {
    SelectItem(item);
    if (GetSelection() != item) return;  // the right pane kept the old selection
  }
  if (const auto popup = ContextMenuOf(static_cast<NodeData*>(GetItemData(item))->ref)) PopupMenu(popup.get());
}

}  // namespace korvex
