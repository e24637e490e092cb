#pragma once
// The hex sector view's state and rules, without any window: its own copy of the bytes, the
// caret (position and column), the selection, scrolling, the keys and the mouse, the editing
// operations and the clipboard as plain values. The window control measures its font, turns
// pixels into character cells and rows, draws the rows this model describes and moves the
// clipboard's data; every decision is made here.
//
// Places are counted in character cells (x) and rows (y) of the client area. The columns: the
// address (8 or 4 digits and a blank), the hex column (three cells a byte: two digits and a
// blank) and the character column (one cell a byte).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hexview/HexRowText.h"

namespace korvex {

// Where the caret is; the numbers are the view's mode values.
enum class CaretMode : std::uint8_t { Address = 0, Character = 1, HighDigit = 2, LowDigit = 3 };

// The keys the view handles on key-down.
enum class HexKey { Tab, Left, Right, Up, Down, Home, End, PageUp, PageDown, Insert, Delete };

// The context menu's commands, with the program's command numbers.
enum class HexCommand : unsigned {
  Undo = 57643,
  Cut = 57635,
  Copy = 57634,
  Paste = 57637,
  Delete = 57632,
  SelectAll = 57642,
};

// The name of the clipboard format that carries raw bytes.
inline constexpr const char* kBinaryDataFormat = "BinaryData";
// The most bytes one view holds: a paste that would go beyond is refused.
inline constexpr std::size_t kHexViewCapacity = 64 * 1024;

// What a copy puts on the clipboard: the raw bytes ("BinaryData") and the readable text.
struct ClipboardContent {
  std::vector<std::uint8_t> binary;
  std::string text;
};

// What the clipboard offers to a paste; either may be missing.
struct ClipboardOffer {
  std::optional<std::vector<std::uint8_t>> binary;
  std::optional<std::string> text;
};

struct PasteResult {
  bool inserted = false;
  std::string refusal;  // the message to show when the clipboard was too large; else empty
};

// The three columns in character cells.
struct HexColumns {
  unsigned addressDigits = 0;  // 8, 4, or 0 without the address column
  unsigned hexStart = 0;
  unsigned characterStart = 0;
};

// The caret's place: a cell, a row of the client area and its width in cells.
struct CaretPlace {
  unsigned cell = 0;
  unsigned row = 0;
  unsigned width = 1;
};

// A run of highlighted cells of one row.
struct CellRun {
  unsigned first = 0;
  unsigned count = 0;
  bool operator==(const CellRun&) const = default;
};

// One row as it is drawn: its texts start at the columns' cells.
struct HexPaintedRow {
  std::size_t offset = 0;
  HexRowText text;
  std::optional<CellRun> highlight;  // the selected bytes of this row, in the column of the mode
};

// The vertical scroll bar, in rows.
struct HexScrollBar {
  std::size_t rowCount = 0;  // rows of the whole data
  std::size_t page = 0;      // rows per page (the thumb)
  std::size_t topRow = 0;    // first visible row
  bool enabled = false;      // false when there is nothing to scroll
};

class HexViewModel {
 public:
  // Replaces the bytes with a copy of bytes: no selection, position 0 on its high digit, top 0.
  void SetData(std::span<const std::uint8_t> bytes);
  bool HasData() const { return hasData_; }
  const std::vector<std::uint8_t>& Data() const { return data_; }

  // --- layout ------------------------------------------------------------------------------
  void SetRowWidth(std::size_t bytesPerRow);  // at least 1
  void ShowColumns(bool address, bool hex, bool characters);
  void SetWideAddress(bool wide);
  // The whole rows that fit into the client area (client height / line height).
  void SetClientRows(unsigned rows);

  HexColumns Columns() const;
  std::size_t RowWidth() const { return rowWidth_; }
  // The rows a page holds: the client's rows, or, when all data fits, the rows the data needs.
  std::size_t RowsPerPage() const;
  // All data fits into the client area: the one page is also the last, and may end early.
  bool LastPagePartial() const;
  HexScrollBar ScrollBar() const;
  // The rows to draw from the top, with data, at most the client's rows.
  std::vector<HexPaintedRow> PaintedRows() const;

  // --- caret and selection -----------------------------------------------------------------
  std::size_t Position() const { return position_; }
  CaretMode Mode() const { return mode_; }
  std::size_t Top() const { return top_; }
  // The caret when it is to be shown: with data, without a selection, inside the client area.
  std::optional<CaretPlace> Caret() const;
  // The selected bytes [first, end), whichever way the selection was made; none when nothing
  // is selected.
  std::optional<std::pair<std::size_t, std::size_t>> Selection() const;
  bool HasSelection() const { return Selection().has_value(); }

  // --- scrolling (scroll bar) --------------------------------------------------------------
  // Unless a key is being handled, the position moves with the view, so that the caret keeps
  // its row on the screen.
  void LineUp();
  void LineDown();
  void PageUp();
  void PageDown();
  void ScrollToRow(std::size_t row);  // thumb tracking

  // --- keys and mouse ----------------------------------------------------------------------
  // Returns true when the key was handled (the view is to be redrawn).
  bool KeyDown(HexKey key, bool shift, bool ctrl);
  // A character message (Ctrl+letter arrives as its control code, Ctrl+C as 3). Returns the
  // clipboard command that Ctrl+C, Ctrl+X, Ctrl+V and Ctrl+Z stand for, which the control
  // carries out with the clipboard; every other character is handled here.
  std::optional<HexCommand> TypeCharacter(char32_t character, bool ctrl);
  void PointerDown(int cell, int row, bool shift);
  // Pointer moved with the left button down; rows above or below the client area scroll.
  void PointerDrag(int cell, int row);
  void PointerUp();
  // The mouse is captured for a selection by dragging.
  bool Dragging() const { return dragging_; }

  // --- editing -----------------------------------------------------------------------------
  bool CommandEnabled(HexCommand command, bool clipboardHasData) const;
  // Nothing without a selected byte.
  std::optional<ClipboardContent> Copy() const;
  std::optional<ClipboardContent> Cut();
  PasteResult Paste(const ClipboardOffer& clipboard);
  void DeleteSelection();
  void SelectAll();

 private:
  struct Hit {
    std::size_t position;
    CaretMode mode;
  };
  struct Anchor {
    std::size_t start;
    std::size_t end;
  };

  std::size_t RowsNeeded() const;
  std::size_t MaxTop() const;
  unsigned VisibleRows() const;
  std::optional<Hit> HitTest(int cell, int row) const;
  std::size_t LastByte() const { return data_.empty() ? 0 : data_.size() - 1; }
  bool HexMode() const { return mode_ == CaretMode::HighDigit || mode_ == CaretMode::LowDigit; }
  // The selection end for the position: one further in the hex column, so that the byte under
  // the caret is included.
  std::size_t SelectionEndAtCaret() const { return position_ + (HexMode() ? 1 : 0); }

  void SetTop(std::size_t top);
  // Moves the position by bytes, kept on the data.
  void ShiftPosition(long long bytes);
  void ScrollToCaret();
  void MoveBy(long long bytes, long long rows);
  void MovePage(bool down);
  void ClearSelection() { selection_.reset(); }
  void DeleteRange(std::size_t first, std::size_t end);
  bool InsertBytes(std::size_t at, std::span<const std::uint8_t> bytes);
  void SetDigit(unsigned value);

  std::vector<std::uint8_t> data_;
  bool hasData_ = false;
  std::size_t top_ = 0;
  std::size_t position_ = 0;
  CaretMode mode_ = CaretMode::Address;
  std::optional<Anchor> selection_;
  std::size_t rowWidth_ = 16;
  unsigned clientRows_ = 1;
  bool showAddress_ = true;
  bool showHex_ = true;
  bool showCharacters_ = true;
  bool wideAddress_ = true;
  bool keepPosition_ = false;  // set while a key is handled: scrolling leaves the position
  bool dragging_ = false;
};

}  // namespace korvex
