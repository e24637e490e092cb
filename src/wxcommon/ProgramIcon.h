#pragma once
// The program's icon, drawn from the same SVG that the package installs into the icon theme:
// the window icons of the program and of the installer.
#include <wx/iconbndl.h>

namespace korvex {

// The SVG text of the icon (generated into the build from packaging/icons/korvex.svg).
extern const char kProgramIconSvg[];

// The icon in the sizes window managers and task bars ask for (16 to 256 pixels).
wxIconBundle ProgramIcons();

}  // namespace korvex
