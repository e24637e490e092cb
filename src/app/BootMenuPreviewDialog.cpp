#include "app/BootMenuPreviewDialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "wxcommon/WxText.h"
#include "textscreen/TextScreenRaster.h"

namespace korvex {
namespace {

constexpr int kStripFirstField = 22;
constexpr int kStripField = 24;
constexpr int kStripColours = kTextColours;
constexpr int kStripWidth = kStripFirstField + (kStripColours - 1) * kStripField;
constexpr int kStripHeight = 20;
// The cover lies over the eight bright colours, which a background cannot take.
constexpr int kCoverLeft = kStripFirstField + 7 * kStripField;

wxColour Colour(unsigned index) {
  const RgbColour& rgb = kVgaTextPalette[index];
  return wxColour(rgb[0], rgb[1], rgb[2]);
}

}  // namespace

CBootMenuPreviewDlg::CBootMenuPreviewDlg(wxWindow* parent, WorkingCopy& workingCopy, CHardDisk& disk, CPrompt& prompt)
    : wxDialog(parent, wxID_ANY, Wx("Vorschau auf's Bootmenü")), model_(workingCopy, disk), prompt_(prompt) {
  FontResult font = LoadPreviewFont();
  if (font.font) {
    font_ = std::move(font.font);
  } else {
    prompt_.Message(font.error, PromptIcon::Exclamation);
  }
  const wxSize screenSize = font_ ? wxSize(static_cast<int>(kTextColumns * font_->Width()),
                                           static_cast<int>(kTextRows * font_->Height()))
                                  : wxSize(640, 400);

  auto* top = new wxBoxSizer(wxVERTICAL);
  screen_ = new wxWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_SUNKEN);
  screen_->SetName(Wx("Bootmenü"));
  screen_->SetBackgroundStyle(wxBG_STYLE_PAINT);
  screen_->SetMinClientSize(screenSize);
  screen_->SetClientSize(screenSize);
  screen_->Bind(wxEVT_PAINT, [this](wxPaintEvent&) { PaintScreen(); });
  screen_->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) { ClickScreen(event.GetY()); });
  top->Add(screen_, 0, wxALL, 11);

  auto* controls = new wxBoxSizer(wxHORIZONTAL);
  auto* which = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Farbe für"));
  menu_ = new wxRadioButton(which->GetStaticBox(), wxID_ANY, Wx("&Menü"), wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
  bar_ = new wxRadioButton(which->GetStaticBox(), wxID_ANY, Wx("&Auswahl"));
  which->Add(menu_, 0, wxALL, 3);
  which->Add(bar_, 0, wxALL, 3);
  auto* layer = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Farbebene"));
  foreground_ = new wxRadioButton(layer->GetStaticBox(), wxID_ANY, Wx("&Vordergrund"), wxDefaultPosition,
                                  wxDefaultSize, wxRB_GROUP);
  background_ = new wxRadioButton(layer->GetStaticBox(), wxID_ANY, Wx("&Hintergrund"));
  layer->Add(foreground_, 0, wxALL, 3);
  layer->Add(background_, 0, wxALL, 3);
  menu_->SetValue(true);
  foreground_->SetValue(true);
  menu_->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ChooseTarget(BootMenuPreview::Target::Menu); });
  bar_->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ChooseTarget(BootMenuPreview::Target::Bar); });
  foreground_->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ChooseBackground(false); });
  background_->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { ChooseBackground(true); });
  controls->Add(which, 0, wxRIGHT, 8);
  controls->Add(layer, 0, wxRIGHT, 8);

  auto* colours = new wxBoxSizer(wxVERTICAL);
  strip_ = new wxWindow(this, wxID_ANY, wxDefaultPosition, wxSize(kStripWidth, kStripHeight), wxBORDER_NONE);
  strip_->SetName(Wx("Farben"));
  strip_->SetMinSize(wxSize(kStripWidth, kStripHeight));
  strip_->SetBackgroundStyle(wxBG_STYLE_PAINT);
  strip_->Bind(wxEVT_PAINT, [this](wxPaintEvent&) { PaintStrip(); });
  strip_->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) { ClickStrip(event.GetX()); });
  cover_ = new wxWindow(strip_, wxID_ANY, wxPoint(kCoverLeft, 0), wxSize(kStripWidth - kCoverLeft, kStripHeight),
                        wxBORDER_NONE);
  cover_->SetName(Wx("Abdeckung"));
  cover_->SetBackgroundColour(GetBackgroundColour());
  cover_->Hide();
  colours->Add(strip_, 0, wxBOTTOM, 8);
  auto* moves = new wxBoxSizer(wxHORIZONTAL);
  up_ = new wxButton(this, wxID_ANY, Wx("Nach &oben"));
  down_ = new wxButton(this, wxID_ANY, Wx("Nach &unten"));
  up_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Move(true); });
  down_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Move(false); });
  moves->Add(up_, 0, wxRIGHT, 6);
  moves->Add(down_, 0);
  colours->Add(moves, 0);
  controls->Add(colours, 1, wxALIGN_CENTER_VERTICAL);

  auto* buttons = new wxBoxSizer(wxVERTICAL);
  auto* ok = new wxButton(this, wxID_OK, Wx("OK"));
  auto* cancel = new wxButton(this, wxID_CANCEL, Wx("A&bbrechen"));
  ok->SetDefault();
  ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    if (Accept()) EndModal(wxID_OK);
  });
  cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CancelAndClose(); });
  buttons->Add(ok, 0, wxEXPAND | wxBOTTOM, 6);
  buttons->Add(cancel, 0, wxEXPAND);
  controls->Add(buttons, 0, wxLEFT, 8);
  top->Add(controls, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 11);

  // The window's close button and Escape are "Abbrechen" too.
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { CancelAndClose(); });
  SetEscapeId(wxID_NONE);
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE) CancelAndClose();
    else event.Skip();
  });

  SetSizerAndFit(top);
  Follow();
  CentreOnParent();
}

void CBootMenuPreviewDlg::ChooseTarget(BootMenuPreview::Target target) {
  model_.SetTarget(target);
  (target == BootMenuPreview::Target::Menu ? menu_ : bar_)->SetValue(true);
}

void CBootMenuPreviewDlg::ChooseBackground(bool background) {
  model_.SetBackground(background);
  (background ? background_ : foreground_)->SetValue(true);
  cover_->Show(background);
}

void CBootMenuPreviewDlg::ClickStrip(int x) {
  const auto colour = BootMenuPreview::StripColourAt(x);
  if (colour && model_.PickColour(*colour)) Follow();
}

void CBootMenuPreviewDlg::ClickScreen(int y) {
  const int rowHeight = font_ ? static_cast<int>(font_->Height()) : 16;
  if (y >= 0 && model_.SelectRow(static_cast<unsigned>(y / rowHeight))) Follow();
}

void CBootMenuPreviewDlg::Move(bool up) {
  model_.MoveSelected(up);
  Follow();
}

bool CBootMenuPreviewDlg::Accept() { return model_.Accept(prompt_); }

bool CBootMenuPreviewDlg::Cancel() { return model_.MayCancel(prompt_); }

void CBootMenuPreviewDlg::CancelAndClose() {
  if (Cancel()) EndModal(wxID_CANCEL);
}

void CBootMenuPreviewDlg::Follow() {
  up_->Enable(model_.CanMoveUp());
  down_->Enable(model_.CanMoveDown());
  screen_->Refresh();
}

void CBootMenuPreviewDlg::PaintScreen() {
  wxAutoBufferedPaintDC dc(screen_);
  dc.SetBackground(*wxBLACK_BRUSH);
  dc.Clear();
  const wxImage picture = ScreenPicture();
  if (picture.IsOk()) dc.DrawBitmap(wxBitmap(picture), 0, 0);
}

wxImage CBootMenuPreviewDlg::ScreenPicture() {
  if (!font_) return wxImage();
  const RgbImage pixels = RasterizeTextScreen(model_.Screen(), *font_);
  wxImage image(static_cast<int>(pixels.width), static_cast<int>(pixels.height));
  std::copy(pixels.pixels.begin(), pixels.pixels.end(), image.GetData());
  return image;
}

void CBootMenuPreviewDlg::PaintStrip() {
  wxAutoBufferedPaintDC dc(strip_);
  dc.SetPen(*wxBLACK_PEN);
  for (int colour = 0; colour < kStripColours; ++colour) {
    const int left = colour == 0 ? 0 : kStripFirstField + (colour - 1) * kStripField;
    const int width = colour == 0 ? kStripFirstField : kStripField;
    dc.SetBrush(wxBrush(Colour(static_cast<unsigned>(colour))));
    dc.DrawRectangle(left, 0, width, kStripHeight);
  }
}

}  // namespace korvex
