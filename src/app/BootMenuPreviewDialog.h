#pragma once
// "Vorschau auf's Bootmenü": the boot screen as the engine will paint it, cell for cell in a VGA
// console font, with the menu and selection-bar colours picked from a strip of the 16 text
// colours and the entries moved up and down. Every change shows at once; OK stores colours and
// order in the working copy, "Abbrechen" drops them (asking when colours changed).
#include <optional>

#include <wx/dialog.h>
#include <wx/image.h>

#include "platform/Prompt.h"
#include "shell/BootMenuPreview.h"
#include "textscreen/ConsoleFont.h"

class wxButton;
class wxRadioButton;

namespace korvex {

class CBootMenuPreviewDlg final : public wxDialog {
 public:
  CBootMenuPreviewDlg(wxWindow* parent, WorkingCopy& workingCopy, CHardDisk& disk, CPrompt& prompt);

  BootMenuPreview& model() { return model_; }
  wxWindow& screenArea() const { return *screen_; }
  wxWindow& strip() const { return *strip_; }
  wxWindow& cover() const { return *cover_; }
  wxButton& upButton() const { return *up_; }
  wxButton& downButton() const { return *down_; }
  // The radio pairs: which colour is edited, and its foreground or background.
  void ChooseTarget(BootMenuPreview::Target target);
  void ChooseBackground(bool background);
  // A click on the strip at x, or on the screen at y (pixels from the top left).
  void ClickStrip(int x);
  void ClickScreen(int y);
  void Move(bool up);
  // The screen's picture as the preview draws it; empty without a font.
  wxImage ScreenPicture();
  // OK and "Abbrechen" (also the window's close button and Escape): true when the dialog may
  // close.
  bool Accept();
  bool Cancel();

 private:
  void CancelAndClose();
  void Follow();
  void PaintScreen();
  void PaintStrip();

  BootMenuPreview model_;
  CPrompt& prompt_;
  std::optional<ConsoleFont> font_;
  wxWindow* screen_ = nullptr;
  wxWindow* strip_ = nullptr;
  wxWindow* cover_ = nullptr;
  wxRadioButton* menu_ = nullptr;
  wxRadioButton* bar_ = nullptr;
  wxRadioButton* foreground_ = nullptr;
  wxRadioButton* background_ = nullptr;
  wxButton* up_ = nullptr;
  wxButton* down_ = nullptr;
};

}  // namespace korvex
