#pragma once
// The disk map above a disk's and a partition's form: the disk as one bar, each partition,
// logical drive and free area a box as wide as its share (the places come from the core's
// DiskMapLayout), coloured by its file system, the extended partition a frame around its logical
// drives, the selected object outlined. A click on a box selects its node in the tree.
#include <functional>
#include <optional>
#include <vector>

#include <wx/window.h>

#include "shell/DiskMapLayout.h"

namespace korvex {

class CDiskMap final : public wxWindow {
 public:
  explicit CDiskMap(wxWindow* parent);

  // Shows the disk of node (a copy is kept) with the object of selected outlined.
  void ShowDisk(const DeviceNode& disk, const NodeRef& selected);
  // The boxes as they are laid out for the map's present size.
  const std::vector<DiskMapBox>& boxes() const { return boxes_; }
  // What a left click at point (client coordinates) does: the box's node goes to onClick.
  void ClickAt(const wxPoint& point);

  // Told the node of a clicked box.
  std::function<void(const NodeRef&)> onClick;

 private:
  void LayOut();
  void OnPaint(wxPaintEvent& event);

  DeviceNode disk_;
  NodeRef selected_;
  std::vector<DiskMapBox> boxes_;
};

}  // namespace korvex
