#include "wxcommon/Drawing.h"

#include <memory>

#include <wx/brush.h>
#include <wx/image.h>
#include <wx/pen.h>

namespace korvex {

// Draws on a transparent image of the given size with anti-aliasing.
wxBitmap Paint(int width, int height, const Painter& painter) {
  wxImage image(width, height);
  image.InitAlpha();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.SetAlpha(x, y, 0);
  }
  {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (gc) painter(*gc);
  }
  return wxBitmap(image);
}

void Box(wxGraphicsContext& gc, double x, double y, double w, double h, const wxColour& fill, const wxColour& edge,
         double radius) {
  gc.SetBrush(wxBrush(fill));
  gc.SetPen(wxPen(edge, 1));
  gc.DrawRoundedRectangle(x, y, w, h, radius);
}

void Line(wxGraphicsContext& gc, double x1, double y1, double x2, double y2, const wxColour& colour, double width) {
  gc.SetPen(wxPen(colour, static_cast<int>(width)));
  gc.StrokeLine(x1, y1, x2, y2);
}

void DrawDisk(wxGraphicsContext& gc) {
  Box(gc, 0.5, 4.5, 15, 8, wxColour(190, 195, 205), kEdge);
  Line(gc, 2, 9, 10, 9, wxColour(120, 125, 135), 1);
  gc.SetBrush(wxBrush(wxColour(40, 200, 60)));
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.DrawEllipse(11.5, 7.5, 2.5, 2.5);
}

void DrawBootDisk(wxGraphicsContext& gc) {
  DrawDisk(gc);
  // A boot mark: an orange triangle pointing right.
  wxGraphicsPath path = gc.CreatePath();
  path.MoveToPoint(1, 0.5);
  path.AddLineToPoint(7.5, 4);
  path.AddLineToPoint(1, 7.5);
  path.CloseSubpath();
  gc.SetBrush(wxBrush(wxColour(240, 140, 20)));
  gc.SetPen(wxPen(wxColour(150, 70, 0), 1));
  gc.DrawPath(path);
}

wxBitmap AboutPicture() {
  return Paint(64, 64, [](wxGraphicsContext& gc) {
    gc.Scale(4, 4);
    DrawBootDisk(gc);
  });
}

}  // namespace korvex
