#pragma once
// The left pane: the computer, its disks and their partitions, logical drives and free areas as
// a tree built from the core's device tree, with each node's kind as its icon, and the context
// menus the core decides.
#include <memory>
#include <optional>

#include <wx/treectrl.h>

#include "shell/CommandStates.h"

class wxMenu;

namespace korvex {

class CMainFrame;

class CDeviceView final : public wxTreeCtrl {
 public:
  CDeviceView(wxWindow* parent, CMainFrame& frame);

  // Shows tree, then selects the node of select (or, when it is gone, its disk, else the
  // computer) without asking the right pane.
  void Rebuild(const DeviceNode& tree, const std::optional<NodeRef>& select);
  std::optional<NodeRef> SelectedNode() const;
  // Selects the node of ref as a click would (the right pane may keep the old selection); false
  // when there is no such node or the selection stayed.
  bool SelectNode(const NodeRef& ref);
  // The context menu of the node, as it would pop up; nothing for a node without one.
  std::unique_ptr<wxMenu> ContextMenuOf(const NodeRef& ref) const;

 private:
  wxTreeItemId Find(const NodeRef& ref) const;
  void OnSelectionChanging(wxTreeEvent& event);
  void OnSelectionChanged(wxTreeEvent& event);
  void OnRightClick(wxTreeEvent& event);

  CMainFrame& frame_;
  bool rebuilding_ = false;
};

}  // namespace korvex
