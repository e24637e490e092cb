#pragma once
// Pictures drawn in code with anti-aliasing, shared by the window program and the installer:
// the drawing helpers, the hard disk pictogram and the program's picture.
#include <functional>

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/graphics.h>

namespace korvex {

using Painter = std::function<void(wxGraphicsContext&)>;

// Draws on a transparent image of the given size.
wxBitmap Paint(int width, int height, const Painter& painter);

void Box(wxGraphicsContext& gc, double x, double y, double w, double h, const wxColour& fill, const wxColour& edge,
         double radius = 1.5);
void Line(wxGraphicsContext& gc, double x1, double y1, double x2, double y2, const wxColour& colour, double width);

// The outline colour of every pictogram.
inline const wxColour kEdge(60, 60, 70);

// A hard disk seen from the front (16 × 16): a flat box with a light; with a boot mark.
void DrawDisk(wxGraphicsContext& gc);
void DrawBootDisk(wxGraphicsContext& gc);

// The program's picture (64 × 64): the boot disk, as the about box and the installer show it.
wxBitmap AboutPicture();

}  // namespace korvex
