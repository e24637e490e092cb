#pragma once
// The left pane: the computer, its disks and their partitions, logical drives and free areas as
// a tree built from the core's device tree, with each node's kind as its icon, and the context
// menus the core decides. It is GTK's own tree view, so screen readers find every node by its
// label. The keyboard reaches the selected node's context menu (Shift+F10, the menu key) and
// its deletion (Delete).
#include <functional>
#include <memory>
#include <optional>

#include <wx/dataview.h>

#include "shell/CommandStates.h"

class wxMenu;

namespace korvex {

class CMainFrame;

class CDeviceView final : public wxDataViewTreeCtrl {
 public:
  CDeviceView(wxWindow* parent, CMainFrame& frame);

  // Shows tree, then selects the node of select (or, when it is gone, its disk, else the
  // computer) without asking the right pane.
  void Rebuild(const DeviceNode& tree, const std::optional<NodeRef>& select);
  std::optional<NodeRef> SelectedNode() const;
  // Selects the node of ref as a click would: the right pane is asked first and may keep the
  // old selection. False when there is no such node or the selection stayed.
  bool SelectNode(const NodeRef& ref);
  // The context menu of the node, as it would pop up; nothing for a node without one.
  std::unique_ptr<wxMenu> ContextMenuOf(const NodeRef& ref) const;
  // Pops up the selected node's context menu at position (client coordinates of the tree), as
  // the right mouse button, Shift+F10 and the menu key do.
  void ShowContextMenu(const wxPoint& position);

  // What the tree shows of a node: its label, its icon (the node kind), its parent and the
  // number of its children. Nothing for a node that is not in the tree.
  std::optional<std::string> LabelOf(const NodeRef& ref) const;
  std::optional<NodeKind> IconOf(const NodeRef& ref) const;
  std::optional<NodeRef> ParentOf(const NodeRef& ref) const;
  int ChildCount(const NodeRef& ref) const;
  // The width the tree needs to show every label whole, without a scroll bar.
  int BestLabelWidth() const;

  // How a context menu pops up; tests put a function of their own here to see the menu.
  std::function<void(wxMenu& menu, const wxPoint& position)> presentMenu;

 private:
  wxDataViewItem Find(const NodeRef& ref) const;
  NodeRef RefOf(const wxDataViewItem& item) const;
  void OnSelectionChanged(wxDataViewEvent& event);
  void OnContextMenu(wxDataViewEvent& event);
  void OnKey(wxKeyEvent& event);
  // The hovered node's whole label as tool tip; none while a context menu is open.
  void OnMouseMove(wxMouseEvent& event);

  CMainFrame& frame_;
  wxDataViewItem shown_;  // the selection the right pane shows
  wxDataViewItem tipItem_;
  bool rebuilding_ = false;
  bool menuOpen_ = false;
  int widest_ = 0;  // the widest label with its indent and icon, from the last rebuild
};

}  // namespace korvex
