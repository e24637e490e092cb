#include "app/Icons.h"

#include <wx/brush.h>
#include <wx/pen.h>

#include "shell/DeviceTree.h"
#include "wxcommon/Drawing.h"

namespace korvex {
namespace {

}  // namespace

wxColour VolumeColour(NodeKind kind, FileSystemKind fileSystem) {
  switch (fileSystem) {
    case FileSystemKind::Fat12:
    case FileSystemKind::Fat16:
    case FileSystemKind::Fat32: return {120, 200, 120};
    case FileSystemKind::Ntfs: return {90, 190, 180};
    case FileSystemKind::Ext2:
    case FileSystemKind::Ext3:
    case FileSystemKind::Ext4: return {150, 120, 200};
    case FileSystemKind::LinuxSwap: return {200, 120, 100};
    case FileSystemKind::None: break;
  }
  switch (kind) {
    case NodeKind::MenuPartition: return {60, 170, 80};
    case NodeKind::ExtendedPartition: return {245, 200, 120};
    case NodeKind::FreeSpace: return {252, 252, 252};
    default: return {70, 120, 210};
  }
}

namespace {

void DrawComputer(wxGraphicsContext& gc) {
  Box(gc, 0.5, 1.5, 15, 10, wxColour(70, 75, 85), kEdge);
  gc.SetBrush(wxBrush(wxColour(80, 150, 230)));
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.DrawRectangle(2, 3, 12, 7);
  Line(gc, 8, 11.5, 8, 14, kEdge, 2);
  Line(gc, 4, 14.5, 12, 14.5, kEdge, 1);
}

// A partition: a slab with a lighter top.
void DrawSlab(wxGraphicsContext& gc, const wxColour& fill) {
  Box(gc, 0.5, 3.5, 15, 9, fill, fill.ChangeLightness(55));
  Line(gc, 2, 5, 14, 5, fill.ChangeLightness(150), 1);
}

void DrawMenuPartition(wxGraphicsContext& gc) {
  DrawSlab(gc, VolumeColour(NodeKind::MenuPartition, FileSystemKind::None));
  for (const double y : {7.5, 10.0}) Line(gc, 4, y, 12, y, *wxWHITE, 1);
}

void DrawExtended(wxGraphicsContext& gc) {
  Box(gc, 0.5, 3.5, 15, 9, VolumeColour(NodeKind::ExtendedPartition, FileSystemKind::None), wxColour(150, 100, 20));
  Box(gc, 2.5, 5.5, 5, 5, wxColour(70, 120, 210), wxColour(30, 60, 130), 1);
  Box(gc, 8.5, 5.5, 5, 5, wxColour(70, 120, 210), wxColour(30, 60, 130), 1);
}

// An empty slab: white with a grey rim and a diagonal stroke.
void DrawFree(wxGraphicsContext& gc) {
  Box(gc, 0.5, 3.5, 15, 9, VolumeColour(NodeKind::FreeSpace, FileSystemKind::None), wxColour(130, 130, 130));
  Line(gc, 3, 10.5, 13, 5.5, wxColour(180, 180, 180), 1);
}

Painter TreePainter(int number) {
  switch (static_cast<NodeKind>(number)) {
    case NodeKind::Disk: return DrawDisk;
    case NodeKind::BootDisk: return DrawBootDisk;
    case NodeKind::Computer: return DrawComputer;
    case NodeKind::DataPartition:
      return [](wxGraphicsContext& gc) { DrawSlab(gc, VolumeColour(NodeKind::DataPartition, FileSystemKind::None)); };
    case NodeKind::MenuPartition: return DrawMenuPartition;
    case NodeKind::ExtendedPartition: return DrawExtended;
    case NodeKind::FreeSpace: return DrawFree;
  }
  return [](wxGraphicsContext&) {};
}

// The hits of the disk analysis: a sector page with a mark of its kind.
void DrawSectorPage(wxGraphicsContext& gc, const wxColour& mark) {
  Box(gc, 2.5, 0.5, 11, 15, *wxWHITE, kEdge, 1);
  for (const double y : {3.5, 6.0, 8.5}) Line(gc, 4.5, y, 11.5, y, wxColour(170, 170, 180), 1);
  gc.SetBrush(wxBrush(mark));
  gc.SetPen(wxPen(mark.ChangeLightness(60), 1));
  gc.DrawRectangle(5.5, 10.5, 5, 3);
}

Painter HitPainter(int kind) {
  switch (kind) {
    case 13: return [](wxGraphicsContext& gc) { DrawSectorPage(gc, wxColour(160, 160, 160)); };
    case 14: return [](wxGraphicsContext& gc) { DrawSlab(gc, wxColour(40, 160, 200)); };
    case 15: return [](wxGraphicsContext& gc) { DrawSectorPage(gc, wxColour(60, 170, 80)); };
    case 16: return [](wxGraphicsContext& gc) { DrawSectorPage(gc, wxColour(240, 140, 20)); };
    default: return TreePainter(kind);
  }
}

// Toolbar pictures, 16 × 15.
void DrawFloppy(wxGraphicsContext& gc) {
  Box(gc, 1.5, 1.5, 13, 12, wxColour(60, 90, 160), wxColour(30, 45, 90), 1);
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(wxColour(235, 235, 240)));
  gc.DrawRectangle(4, 2, 8, 4);
  gc.DrawRectangle(3.5, 8.5, 9, 5);
}

void DrawReload(wxGraphicsContext& gc) {
  const wxColour green(30, 140, 60);
  gc.SetPen(wxPen(green, 2));
  gc.SetBrush(*wxTRANSPARENT_BRUSH);
  wxGraphicsPath arc = gc.CreatePath();
  arc.AddArc(8, 8, 5, 0.9, 5.6, true);
  gc.StrokePath(arc);
  wxGraphicsPath head = gc.CreatePath();
  head.MoveToPoint(15, 2);
  head.AddLineToPoint(15, 8);
  head.AddLineToPoint(9.5, 5.5);
  head.CloseSubpath();
  gc.SetBrush(wxBrush(green));
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.FillPath(head);
}

void DrawCheck(wxGraphicsContext& gc) {
  gc.SetPen(wxPen(wxColour(30, 140, 60), 3));
  wxGraphicsPath path = gc.CreatePath();
  path.MoveToPoint(2, 8);
  path.AddLineToPoint(6, 12);
  path.AddLineToPoint(14, 3);
  gc.StrokePath(path);
}

void DrawPlus(wxGraphicsContext& gc, const wxColour& colour, double x, double y, double size) {
  Line(gc, x - size, y, x + size, y, colour, 3);
  Line(gc, x, y - size, x, y + size, colour, 3);
}

void DrawCross(wxGraphicsContext& gc) {
  const wxColour red(200, 40, 40);
  Line(gc, 3, 3, 13, 12, red, 3);
  Line(gc, 13, 3, 3, 12, red, 3);
}

// A small menu: a window with lines.
void DrawMenuList(wxGraphicsContext& gc) {
  Box(gc, 0.5, 0.5, 11, 13, *wxWHITE, kEdge, 1);
  for (const double y : {3.5, 6.5, 9.5}) Line(gc, 2.5, y, 9.5, y, wxColour(60, 90, 160), 1);
}

void DrawMenuAdd(wxGraphicsContext& gc) {
  DrawMenuList(gc);
  DrawPlus(gc, wxColour(30, 140, 60), 12, 11, 3);
}

void DrawMenuRemove(wxGraphicsContext& gc) {
  DrawMenuList(gc);
  Line(gc, 9, 11, 15, 11, wxColour(200, 40, 40), 3);
}

void DrawBootMenu(wxGraphicsContext& gc) {
  Box(gc, 0.5, 0.5, 15, 14, wxColour(0, 0, 140), kEdge, 1);
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(wxColour(0, 170, 170)));
  gc.DrawRectangle(2, 6, 12, 3);
  for (const double y : {3.5, 11.5}) Line(gc, 2.5, y, 13.5, y, wxColour(200, 200, 200), 1);
}

void DrawTypes(wxGraphicsContext& gc) {
  Box(gc, 0.5, 0.5, 15, 14, *wxWHITE, kEdge, 1);
  Line(gc, 5.5, 1, 5.5, 14, kEdge, 1);
  for (const double y : {4.5, 8.5}) Line(gc, 1, y, 15, y, kEdge, 1);
}

void DrawSelfTest(wxGraphicsContext& gc) {
  gc.SetPen(wxPen(kEdge, 2));
  gc.SetBrush(wxBrush(wxColour(210, 230, 250)));
  gc.DrawEllipse(1.5, 1.5, 9, 9);
  Line(gc, 9.5, 9.5, 14.5, 14, wxColour(120, 80, 40), 3);
}

void DrawAbout(wxGraphicsContext& gc) {
  gc.SetBrush(wxBrush(wxColour(50, 110, 200)));
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.DrawEllipse(0.5, 0, 15, 15);
  gc.SetFont(wxFont(wxFontInfo(10).Bold().Family(wxFONTFAMILY_SWISS)), *wxWHITE);
  double width = 0;
  double height = 0;
  gc.GetTextExtent("?", &width, &height);
  gc.DrawText("?", (16 - width) / 2, (15 - height) / 2);
}

}  // namespace

wxImageList* CreateTreeImageList() {
  auto* list = new wxImageList(kTreeIconSize, kTreeIconSize, false, kTreeIconCount + kFileSystemIconCount);
  for (int number = 0; number < kTreeIconCount; ++number) {
    list->Add(Paint(kTreeIconSize, kTreeIconSize, TreePainter(number)));
  }
  for (int fileSystem = 1; fileSystem <= kFileSystemIconCount; ++fileSystem) {
    const wxColour fill = VolumeColour(NodeKind::DataPartition, static_cast<FileSystemKind>(fileSystem));
    list->Add(Paint(kTreeIconSize, kTreeIconSize, [&](wxGraphicsContext& gc) { DrawSlab(gc, fill); }));
  }
  return list;
}

int TreeIconOf(NodeKind kind, FileSystemKind fileSystem) {
  if (kind != NodeKind::DataPartition || fileSystem == FileSystemKind::None) return static_cast<int>(kind);
  return kTreeIconCount + static_cast<int>(fileSystem) - 1;
}

wxImageList* CreateScanImageList() {
  auto* list = new wxImageList(kTreeIconSize, kTreeIconSize, false, kScanIconCount);
  for (int number = 0; number < kScanIconCount; ++number) {
    list->Add(Paint(kTreeIconSize, kTreeIconSize, HitPainter(number)));
  }
  return list;
}

wxBitmap ToolbarBitmap(CommandId command) {
  Painter painter;
  switch (command) {
    case CommandId::Save: painter = DrawFloppy; break;
    case CommandId::Reload: painter = DrawReload; break;
    case CommandId::Apply: painter = DrawCheck; break;
    case CommandId::Create: painter = [](wxGraphicsContext& gc) { DrawPlus(gc, wxColour(30, 140, 60), 8, 7.5, 6); }; break;
    case CommandId::Delete: painter = DrawCross; break;
    case CommandId::MenuAdd: painter = DrawMenuAdd; break;
    case CommandId::MenuRemove: painter = DrawMenuRemove; break;
    case CommandId::BootMenu: painter = DrawBootMenu; break;
    case CommandId::PartitionTypes: painter = DrawTypes; break;
    case CommandId::SelfTest: painter = DrawSelfTest; break;
    case CommandId::About: painter = DrawAbout; break;
    default: return wxBitmap();
  }
  return Paint(16, 15, painter);
}

}  // namespace korvex
