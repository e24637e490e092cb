#pragma once
// A window's picture as a PNG file, so that its layout can be looked at without a display.
#include <string>

class wxWindow;

namespace korvex {

// Captures window (all of it: menu bar, toolbar and status bar of a frame included) from the
// screen into file; false when the capture or the write failed.
bool SaveWindowPicture(wxWindow& window, const std::string& file);

}  // namespace korvex
