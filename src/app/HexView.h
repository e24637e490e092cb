#pragma once
// CHexView: the hex sector view as a control that draws itself (into an off-screen buffer, then
// onto the screen in one step): the address, hex and character columns, the caret, the
// selection, the keys, the mouse, the context menu and the clipboard ("BinaryData" and text).
// Every rule lives in HexViewModel; this control measures its font, turns pixels into cells and
// rows, draws what the model describes and moves the clipboard's data.
#include <cstdint>
#include <span>

#include <wx/dc.h>
#include <wx/window.h>

#include "hexview/HexViewModel.h"
#include "platform/Prompt.h"

namespace korvex {

class CHexView final : public wxWindow {
 public:
  // prompt tells why a paste was refused.
  CHexView(wxWindow* parent, wxWindowID id, CPrompt& prompt);

  // A copy of bytes: no selection, the caret on the first byte's high digit, top 0.
  void SetData(std::span<const std::uint8_t> bytes);
  HexViewModel& model() { return model_; }
  const HexViewModel& model() const { return model_; }

  // The context menu's commands, also reached by Ctrl+C, Ctrl+X and Ctrl+V.
  void RunCommand(HexCommand command);
  // The clipboard offers "BinaryData" or text.
  static bool ClipboardHasData();

  // Draws the view onto dc (white background, the rows, the selection, and the caret when
  // withCaret): what a paint puts into its off-screen buffer.
  void Draw(wxDC& dc, bool withCaret) const;
  // The size of one character cell in pixels.
  wxSize CellSize() const { return cell_; }

 private:
  void MeasureFont();
  void FollowClientSize();
  void UpdateScrollBar();
  void Changed();

  void OnPaint(wxPaintEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnChar(wxKeyEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnScroll(wxScrollWinEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);

  // The cell and row under a point of the client area (rows above it are negative).
  int CellAt(int x) const { return x / cell_.x; }
  int RowAt(int y) const { return y < 0 ? -1 : y / cell_.y; }

  HexViewModel model_;
  CPrompt& prompt_;
  wxSize cell_{8, 16};
};

}  // namespace korvex
