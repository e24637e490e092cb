#include "app/Screenshot.h"

#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/window.h>

namespace korvex {

bool SaveWindowPicture(wxWindow& window, const std::string& file) {
  window.Update();
  const wxRect rect = window.GetScreenRect();
  wxBitmap bitmap(rect.GetWidth(), rect.GetHeight());
  {
    wxScreenDC screen;
    wxMemoryDC memory(bitmap);
    if (!memory.Blit(0, 0, rect.GetWidth(), rect.GetHeight(), &screen, rect.GetX(), rect.GetY())) return false;
  }
  if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
  return bitmap.ConvertToImage().SaveFile(wxString::FromUTF8(file), wxBITMAP_TYPE_PNG);
}

}  // namespace korvex
