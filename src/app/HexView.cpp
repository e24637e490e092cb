#include "app/HexView.h"

#include <memory>
#include <optional>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dcbuffer.h>
#include <wx/menu.h>
#include <wx/settings.h>

#include "wxcommon/WxText.h"

namespace korvex {
namespace {

const wxDataFormat& BinaryFormat() {
  static const wxDataFormat format(kBinaryDataFormat);
  return format;
}

struct MenuCommand {
  HexCommand command;
  wxWindowID id;
  const char* text;
};
constexpr MenuCommand kMenuCommands[] = {
    {HexCommand::Undo, wxID_UNDO, "&Undo"},       {HexCommand::Cut, wxID_CUT, "Cu&t"},
    {HexCommand::Copy, wxID_COPY, "&Copy"},       {HexCommand::Paste, wxID_PASTE, "&Paste"},
    {HexCommand::Delete, wxID_DELETE, "&Delete"}, {HexCommand::SelectAll, wxID_SELECTALL, "Select &All"},
};

std::optional<HexKey> KeyOf(int code) {
  switch (code) {
    case WXK_TAB: return HexKey::Tab;
    case WXK_LEFT: case WXK_NUMPAD_LEFT: return HexKey::Left;
    case WXK_RIGHT: case WXK_NUMPAD_RIGHT: return HexKey::Right;
    case WXK_UP: case WXK_NUMPAD_UP: return HexKey::Up;
    case WXK_DOWN: case WXK_NUMPAD_DOWN: return HexKey::Down;
    case WXK_HOME: case WXK_NUMPAD_HOME: return HexKey::Home;
    case WXK_END: case WXK_NUMPAD_END: return HexKey::End;
    case WXK_PAGEUP: case WXK_NUMPAD_PAGEUP: return HexKey::PageUp;
    case WXK_PAGEDOWN: case WXK_NUMPAD_PAGEDOWN: return HexKey::PageDown;
    case WXK_INSERT: case WXK_NUMPAD_INSERT: return HexKey::Insert;
    case WXK_DELETE: case WXK_NUMPAD_DELETE: return HexKey::Delete;
    default: return std::nullopt;
  }
}

// Opens the clipboard for the lifetime of the guard.
class ClipboardOpen {
 public:
  ClipboardOpen() : open_(wxTheClipboard->Open()) {}
  ~ClipboardOpen() {
    if (open_) wxTheClipboard->Close();
  }
  explicit operator bool() const { return open_; }

 private:
  bool open_;
};

}  // namespace

CHexView::CHexView(wxWindow* parent, wxWindowID id, CPrompt& prompt)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxBORDER_SUNKEN | wxWANTS_CHARS),
      prompt_(prompt) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetFont(wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE).FaceName("Courier New")));
  MeasureFont();
  Bind(wxEVT_PAINT, &CHexView::OnPaint, this);
  Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    FollowClientSize();
    Refresh();
    event.Skip();
  });
  Bind(wxEVT_KEY_DOWN, &CHexView::OnKeyDown, this);
  Bind(wxEVT_CHAR, &CHexView::OnChar, this);
  Bind(wxEVT_LEFT_DOWN, &CHexView::OnLeftDown, this);
  Bind(wxEVT_MOTION, &CHexView::OnMotion, this);
  Bind(wxEVT_LEFT_UP, &CHexView::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { model_.PointerUp(); });
  Bind(wxEVT_CONTEXT_MENU, &CHexView::OnContextMenu, this);
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
    Refresh();
    event.Skip();
  });
  Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
    Refresh();
    event.Skip();
  });
  for (const auto& type : {wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM, wxEVT_SCROLLWIN_LINEUP,
                                 wxEVT_SCROLLWIN_LINEDOWN, wxEVT_SCROLLWIN_PAGEUP, wxEVT_SCROLLWIN_PAGEDOWN,
                                 wxEVT_SCROLLWIN_THUMBTRACK, wxEVT_SCROLLWIN_THUMBRELEASE}) {
    Bind(type, &CHexView::OnScroll, this);
  }
  for (const MenuCommand& entry : kMenuCommands) {
    Bind(wxEVT_MENU, [this, command = entry.command](wxCommandEvent&) { RunCommand(command); }, entry.id);
  }
}

void CHexView::SetData(std::span<const std::uint8_t> bytes) {
  model_.SetData(bytes);
  FollowClientSize();
  Changed();
}

void CHexView::MeasureFont() {
  wxClientDC dc(this);
  dc.SetFont(GetFont());
  const wxSize zero = dc.GetTextExtent("0");
  cell_ = wxSize(std::max(zero.x, 1), std::max(zero.y, 1));
}

void CHexView::FollowClientSize() {
  model_.SetClientRows(static_cast<unsigned>(std::max(GetClientSize().y, 0) / cell_.y));
  UpdateScrollBar();
}

void CHexView::UpdateScrollBar() {
  const HexScrollBar bar = model_.ScrollBar();
  if (bar.enabled) {
    SetScrollbar(wxVERTICAL, static_cast<int>(bar.topRow), static_cast<int>(bar.page), static_cast<int>(bar.rowCount));
  } else {
    SetScrollbar(wxVERTICAL, 0, 0, 0);
  }
}

void CHexView::Changed() {
  UpdateScrollBar();
  Refresh();
}

void CHexView::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  Draw(dc, HasFocus());
}

void CHexView::Draw(wxDC& dc, bool withCaret) const {
  const wxColour window = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
  const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
  const wxColour highlight = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
  const wxColour highlightText = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
  dc.SetBackground(wxBrush(window));
  dc.Clear();
  dc.SetFont(GetFont());
  dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
  const HexColumns columns = model_.Columns();
  // A row's texts side by side, each starting at its column's cell.
  const auto line = [&](const HexPaintedRow& row) {
    std::string cells(columns.characterStart + row.text.characters.size(), ' ');
    cells.replace(0, row.text.address.size(), row.text.address);
    cells.replace(columns.hexStart, row.text.hex.size(), row.text.hex);
    cells.replace(columns.characterStart, row.text.characters.size(), row.text.characters);
    return cells;
  };
  const auto draw = [&](const std::string& cells, unsigned first, unsigned count, unsigned row, const wxColour& fore,
                        const wxColour& back) {
    dc.SetTextForeground(fore);
    dc.SetTextBackground(back);
    dc.DrawText(Wx(cells.substr(first, count)), static_cast<int>(first) * cell_.x, static_cast<int>(row) * cell_.y);
  };
  const auto rows = model_.PaintedRows();
  for (unsigned r = 0; r < rows.size(); ++r) {
    const std::string cells = line(rows[r]);
    draw(cells, 0, static_cast<unsigned>(cells.size()), r, text, window);
    if (const auto& run = rows[r].highlight) draw(cells, run->first, run->count, r, highlightText, highlight);
  }
  // The caret: the cells under it drawn inverted, while the control has the focus.
  if (const auto caret = model_.Caret(); caret && withCaret && caret->row < rows.size()) {
    draw(line(rows[caret->row]), caret->cell, caret->width, caret->row, window, text);
  }
}

void CHexView::OnKeyDown(wxKeyEvent& event) {
  const auto key = KeyOf(event.GetKeyCode());
  if (!key || !model_.KeyDown(*key, event.ShiftDown(), event.ControlDown())) {
    event.Skip();  // becomes a character
    return;
  }
  Changed();
}

void CHexView::OnChar(wxKeyEvent& event) {
  int code = event.GetUnicodeKey();
  if (code == WXK_NONE) code = event.GetKeyCode();
  if (code == WXK_NONE || code < 0) return;
  const auto command = model_.TypeCharacter(static_cast<char32_t>(code), event.ControlDown());
  if (command) RunCommand(*command);
  Changed();
}

void CHexView::OnLeftDown(wxMouseEvent& event) {
  SetFocus();
  model_.PointerDown(CellAt(event.GetX()), RowAt(event.GetY()), event.ShiftDown());
  if (model_.Dragging() && !HasCapture()) CaptureMouse();
  Changed();
}

void CHexView::OnMotion(wxMouseEvent& event) {
  if (!event.LeftIsDown() || !model_.Dragging()) return;
  const auto before = model_.Selection();
  const std::size_t top = model_.Top();
  model_.PointerDrag(CellAt(std::max(event.GetX(), 0)), event.GetY() >= GetClientSize().y
                                                            ? static_cast<int>(model_.RowsPerPage())
                                                            : RowAt(event.GetY()));
  if (model_.Selection() != before || model_.Top() != top) Changed();
}

void CHexView::OnLeftUp(wxMouseEvent&) {
  if (HasCapture()) ReleaseMouse();
  model_.PointerUp();
  Changed();
}

void CHexView::OnScroll(wxScrollWinEvent& event) {
  const wxEventType type = event.GetEventType();
  if (type == wxEVT_SCROLLWIN_LINEUP) {
    model_.LineUp();
  } else if (type == wxEVT_SCROLLWIN_LINEDOWN) {
    model_.LineDown();
  } else if (type == wxEVT_SCROLLWIN_PAGEUP) {
    model_.PageUp();
  } else if (type == wxEVT_SCROLLWIN_PAGEDOWN) {
    model_.PageDown();
  } else if (type == wxEVT_SCROLLWIN_TOP) {
    model_.ScrollToRow(0);
  } else if (type == wxEVT_SCROLLWIN_BOTTOM) {
    model_.ScrollToRow(model_.ScrollBar().rowCount);
  } else {
    model_.ScrollToRow(static_cast<std::size_t>(std::max(event.GetPosition(), 0)));
  }
  Changed();
}

void CHexView::OnContextMenu(wxContextMenuEvent& event) {
  wxMenu menu;
  const bool clipboard = ClipboardHasData();
  for (const MenuCommand& entry : kMenuCommands) {
    if (entry.command == HexCommand::Cut || entry.command == HexCommand::SelectAll) menu.AppendSeparator();
    menu.Append(entry.id, Wx(entry.text));
    menu.Enable(entry.id, model_.CommandEnabled(entry.command, clipboard));
  }
  // From the keyboard the menu opens near the top-left corner.
  wxPoint at = event.GetPosition() == wxDefaultPosition ? wxPoint(5, 5) : ScreenToClient(event.GetPosition());
  PopupMenu(&menu, at);
}

bool CHexView::ClipboardHasData() {
  ClipboardOpen open;
  return open && (wxTheClipboard->IsSupported(BinaryFormat()) || wxTheClipboard->IsSupported(wxDF_UNICODETEXT) ||
                  wxTheClipboard->IsSupported(wxDF_TEXT));
}

void CHexView::RunCommand(HexCommand command) {
  switch (command) {
    case HexCommand::Undo:
      return;
    case HexCommand::Copy:
    case HexCommand::Cut: {
      const auto content = command == HexCommand::Copy ? model_.Copy() : model_.Cut();
      if (!content) return;
      ClipboardOpen open;
      if (open) {
        auto* both = new wxDataObjectComposite;
        auto* binary = new wxCustomDataObject(BinaryFormat());
        binary->SetData(content->binary.size(), content->binary.data());
        both->Add(binary, true);
        both->Add(new wxTextDataObject(Wx(content->text)));
        wxTheClipboard->SetData(both);
      }
      break;
    }
    case HexCommand::Paste: {
      ClipboardOffer offer;
      {
        ClipboardOpen open;
        if (!open) return;
        if (wxTheClipboard->IsSupported(BinaryFormat())) {
          wxCustomDataObject binary(BinaryFormat());
          if (wxTheClipboard->GetData(binary)) {
            const auto* bytes = static_cast<const std::uint8_t*>(binary.GetData());
            offer.binary.emplace(bytes, bytes + binary.GetSize());
          }
        }
        if (!offer.binary) {
          wxTextDataObject text;
          if (wxTheClipboard->GetData(text)) offer.text = Utf8(text.GetText());
        }
      }
      const PasteResult result = model_.Paste(offer);
      if (!result.refusal.empty()) prompt_.Message(result.refusal, PromptIcon::Stop);
      break;
    }
    case HexCommand::Delete:
      model_.DeleteSelection();
      break;
    case HexCommand::SelectAll:
      model_.SelectAll();
      break;
  }
  Changed();
}

}  // namespace korvex
