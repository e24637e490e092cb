#include "wxcommon/ProgramIcon.h"

#include <wx/bmpbndl.h>

namespace korvex {

wxIconBundle ProgramIcons() {
  constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};
  const wxBitmapBundle drawing = wxBitmapBundle::FromSVG(kProgramIconSvg, wxSize(64, 64));
  wxIconBundle icons;
  for (const int size : kSizes) {
    wxIcon icon;
    icon.CopyFromBitmap(drawing.GetBitmap(wxSize(size, size)));
    icons.AddIcon(icon);
  }
  return icons;
}

}  // namespace korvex
