#include "app/DiskMap.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include "app/Icons.h"
#include "disk/FormatSize.h"
#include "platform/DiskGeometry.h"
#include "shell/ObjectDetails.h"
#include "wxcommon/WxText.h"

namespace korvex {
namespace {

constexpr int kMapHeight = 64;
constexpr int kTextPadding = 4;
constexpr int kMenuBand = 4;  // the green band of a boot menu member, as on its tree icon

// The lines a box shows, as far as they fit: the partition's name, its file system (with its
// label, or without it where the box is too narrow for it), its size. Each line with its shorter
// form.
std::vector<std::pair<wxString, wxString>> BoxLines(const DeviceNode& node) {
  std::vector<std::pair<wxString, wxString>> lines;
  const auto add = [&](const std::string& text, const std::string& shorter) { lines.emplace_back(Wx(text), Wx(shorter)); };
  if (node.kind == NodeKind::FreeSpace) {
    add("frei", "frei");
  } else if (!node.details.partitionName.empty()) {
    add(node.details.partitionName, node.details.partitionName);
  }
  if (const std::string fileSystem = FileSystemText(node.details); !fileSystem.empty()) {
    add(fileSystem, FileSystemName(node.details.fileSystem));
  }
  const std::string size = FormatSize(node.sectors * kSectorSize);
  add(size, size);
  return lines;
}

}  // namespace

CDiskMap::CDiskMap(wxWindow* parent) : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(-1, kMapHeight)) {
  SetName(Wx("Plattenbelegung"));
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetMinSize(wxSize(-1, kMapHeight));
  Bind(wxEVT_PAINT, &CDiskMap::OnPaint, this);
  Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    event.Skip();
    LayOut();
    Refresh();
  });
  Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) { ClickAt(event.GetPosition()); });
}

void CDiskMap::ShowDisk(const DeviceNode& disk, const NodeRef& selected) {
  disk_ = disk;
  selected_ = selected;
  LayOut();
  Refresh();
}

void CDiskMap::LayOut() {
  const wxSize size = GetClientSize();
  boxes_ = LayoutDiskMap(disk_, {size.GetWidth(), size.GetHeight(), FromDIP(12), FromDIP(4)});
}

void CDiskMap::ClickAt(const wxPoint& point) {
  const DiskMapBox* box = BoxAt(boxes_, point.x, point.y);
  if (box != nullptr && onClick) onClick(box->node->ref);
}

void CDiskMap::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW)));
  dc.Clear();
  dc.SetFont(GetFont());
  for (const DiskMapBox& box : boxes_) {
    const DeviceNode& node = *box.node;
    const wxColour fill = VolumeColour(node.kind, node.details.fileSystem);
    const wxRect rect(box.x, box.y, box.width, box.height);
    dc.SetPen(wxPen(fill.ChangeLightness(60)));
    dc.SetBrush(wxBrush(fill));
    dc.DrawRectangle(rect);
    if (node.kind == NodeKind::MenuPartition) {
      dc.SetPen(*wxTRANSPARENT_PEN);
      dc.SetBrush(wxBrush(VolumeColour(NodeKind::MenuPartition, FileSystemKind::None)));
      dc.DrawRectangle(rect.x + 1, rect.y + 1, rect.width - 2, kMenuBand);
    }
    if (!node.children.empty()) continue;  // a frame: its drives carry the texts
    wxDCClipper clip(dc, wxRect(rect).Deflate(kTextPadding / 2));
    dc.SetTextForeground(fill.GetLuminance() < 0.5 ? *wxWHITE : *wxBLACK);
    int y = rect.y + kTextPadding + (node.kind == NodeKind::MenuPartition ? kMenuBand : 0);
    for (const auto& [line, shorter] : BoxLines(node)) {
      const int room = rect.width - 2 * kTextPadding;
      const wxString& text = dc.GetTextExtent(line).GetWidth() <= room ? line : shorter;
      const wxSize extent = dc.GetTextExtent(text);
      if (y + extent.GetHeight() > rect.GetBottom() || extent.GetWidth() > room) break;
      dc.DrawText(text, rect.x + kTextPadding, y);
      y += extent.GetHeight();
    }
  }
  // The selection: a dark frame with a light one inside, seen on every fill.
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  for (const DiskMapBox& box : boxes_) {
    if (box.node->ref != selected_) continue;
    dc.SetPen(wxPen(*wxBLACK, 2));
    dc.DrawRectangle(box.x + 1, box.y + 1, box.width - 1, box.height - 1);
    dc.SetPen(wxPen(*wxWHITE, 1));
    dc.DrawRectangle(box.x + 3, box.y + 3, box.width - 6, box.height - 6);
  }
}

}  // namespace korvex
