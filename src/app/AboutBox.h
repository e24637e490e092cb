#pragma once
// "Info über korvex": the program's picture, name and version.
class wxWindow;

namespace korvex {

void ShowAboutBox(wxWindow* parent);

}  // namespace korvex
