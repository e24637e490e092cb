// The hex view's data, layout, scrolling, caret, keys and mouse. The editing operations are in
// HexViewEditing.cpp.
#include "hexview/HexViewModel.h"

#include <algorithm>

namespace korvex {
namespace {

constexpr unsigned kWideAddressDigits = 8;
constexpr unsigned kNarrowAddressDigits = 4;
constexpr unsigned kHexCellsPerByte = 3;  // two digits and a blank

// Sets a flag for the lifetime of the guard.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = false; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void HexViewModel::SetData(std::span<const std::uint8_t> bytes) {
  data_.assign(bytes.begin(), bytes.end());
  hasData_ = true;
  ClearSelection();
  dragging_ = false;
  position_ = 0;
  mode_ = CaretMode::HighDigit;
  top_ = 0;
}

// --- layout ----------------------------------------------------------------------------------

void HexViewModel::SetRowWidth(std::size_t bytesPerRow) {
  rowWidth_ = std::max<std::size_t>(bytesPerRow, 1);
  top_ = std::min(top_ - top_ % rowWidth_, MaxTop());
}

void HexViewModel::ShowColumns(bool address, bool hex, bool characters) {
  showAddress_ = address;
  showHex_ = hex;
  showCharacters_ = characters;
}

void HexViewModel::SetWideAddress(bool wide) { wideAddress_ = wide; }

void HexViewModel::SetClientRows(unsigned rows) {
  clientRows_ = rows;
  top_ = std::min(top_, MaxTop());
}

HexColumns HexViewModel::Columns() const {
  HexColumns columns;
  if (showAddress_) {
    columns.addressDigits = wideAddress_ ? kWideAddressDigits : kNarrowAddressDigits;
    columns.hexStart = columns.addressDigits + 1;  // one blank cell after the address
  }
  // Without the hex column the characters start where it would.
  columns.characterStart = columns.hexStart + (showHex_ ? static_cast<unsigned>(rowWidth_) * kHexCellsPerByte : 0);
  return columns;
}

std::size_t HexViewModel::RowsNeeded() const { return (data_.size() + rowWidth_ - 1) / rowWidth_; }

bool HexViewModel::LastPagePartial() const { return rowWidth_ * clientRows_ > data_.size(); }

std::size_t HexViewModel::RowsPerPage() const {
  return std::max<std::size_t>(LastPagePartial() ? RowsNeeded() : clientRows_, 1);
}

// The top of the last page: its last row is the data's last row.
std::size_t HexViewModel::MaxTop() const {
  const std::size_t needed = RowsNeeded();
  const std::size_t page = RowsPerPage();
  return needed > page ? (needed - page) * rowWidth_ : 0;
}

unsigned HexViewModel::VisibleRows() const {
  return static_cast<unsigned>(std::min<std::size_t>(RowsPerPage(), clientRows_));
}

HexScrollBar HexViewModel::ScrollBar() const {
  HexScrollBar bar;
  bar.rowCount = RowsNeeded();
  bar.page = RowsPerPage();
  bar.topRow = top_ / rowWidth_;
  bar.enabled = bar.rowCount > bar.page;
  return bar;
}

std::vector<HexPaintedRow> HexViewModel::PaintedRows() const {
  const HexColumns columns = Columns();
  const auto selection = Selection();
  std::vector<HexPaintedRow> rows;
  for (unsigned r = 0; r < VisibleRows(); ++r) {
    const std::size_t offset = top_ + r * rowWidth_;
    if (offset >= data_.size()) break;
    HexPaintedRow row{offset, FormatHexRow(data_, offset, rowWidth_, wideAddress_), std::nullopt};
    if (!showAddress_) row.text.address.clear();
    if (!showHex_) row.text.hex.clear();
    if (!showCharacters_) row.text.characters.clear();
    const std::size_t rowEnd = std::min(offset + rowWidth_, data_.size());
    if (selection && mode_ != CaretMode::Address) {
      const std::size_t first = std::max(selection->first, offset);
      const std::size_t end = std::min(selection->second, rowEnd);
      const auto bytes = static_cast<unsigned>(end - first);
      const auto column = static_cast<unsigned>(first - offset);
      if (first < end && mode_ == CaretMode::Character && showCharacters_) {
        row.highlight = CellRun{columns.characterStart + column, bytes};
      } else if (first < end && HexMode() && showHex_) {
        // The digits of the selected bytes and the blanks between them.
        row.highlight = CellRun{columns.hexStart + kHexCellsPerByte * column, kHexCellsPerByte * bytes - 1};
      }
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// --- caret and selection ---------------------------------------------------------------------

std::optional<CaretPlace> HexViewModel::Caret() const {
  if (!hasData_ || selection_ || position_ < top_) return std::nullopt;
  const auto row = static_cast<unsigned>((position_ - top_) / rowWidth_);
  if (row >= VisibleRows()) return std::nullopt;
  const HexColumns columns = Columns();
  const auto column = static_cast<unsigned>(position_ % rowWidth_);
  switch (mode_) {
    case CaretMode::Address:
      return CaretPlace{0, row, showAddress_ ? columns.addressDigits : 1};
    case CaretMode::Character:
      return CaretPlace{columns.characterStart + column, row, 1};
    case CaretMode::HighDigit:
      return CaretPlace{columns.hexStart + kHexCellsPerByte * column, row, 1};
    case CaretMode::LowDigit:
      return CaretPlace{columns.hexStart + kHexCellsPerByte * column + 1, row, 1};
  }
  return std::nullopt;
}

std::optional<std::pair<std::size_t, std::size_t>> HexViewModel::Selection() const {
  if (!selection_) return std::nullopt;
  const std::size_t first = std::min({selection_->start, selection_->end, data_.size()});
  const std::size_t end = std::min(std::max(selection_->start, selection_->end), data_.size());
  if (first >= end) return std::nullopt;
  return std::make_pair(first, end);
}

// --- scrolling -------------------------------------------------------------------------------

void HexViewModel::SetTop(std::size_t top) {
  top = std::min(top, MaxTop());
  if (!keepPosition_) ShiftPosition(static_cast<long long>(top) - static_cast<long long>(top_));
  top_ = top;
}

void HexViewModel::ShiftPosition(long long bytes) {
  const long long position = static_cast<long long>(position_) + bytes;
  position_ = static_cast<std::size_t>(std::clamp<long long>(position, 0, static_cast<long long>(LastByte())));
}

void HexViewModel::LineUp() {
  if (top_ >= rowWidth_) SetTop(top_ - rowWidth_);
}

void HexViewModel::LineDown() {
  if (top_ < MaxTop()) SetTop(top_ + rowWidth_);
}

void HexViewModel::PageUp() {
  const std::size_t page = RowsPerPage() * rowWidth_;
  SetTop(top_ > page ? top_ - page : 0);
}

void HexViewModel::PageDown() { SetTop(top_ + RowsPerPage() * rowWidth_); }

void HexViewModel::ScrollToRow(std::size_t row) { SetTop(row * rowWidth_); }

// Scrolls as little as needed to show the caret's row.
void HexViewModel::ScrollToCaret() {
  const std::size_t row = position_ / rowWidth_;
  const std::size_t topRow = top_ / rowWidth_;
  const std::size_t page = RowsPerPage();
  if (row < topRow) {
    SetTop(row * rowWidth_);
  } else if (row >= topRow + page) {
    SetTop((row - page + 1) * rowWidth_);
  }
}

// --- moving ----------------------------------------------------------------------------------

// Moves by bytes (or hex digits) and rows. In the hex column a sideways step goes from one
// digit to the other and on to the next byte. A step before byte 0 ends at 0; a step beyond the
// last byte is taken back.
void HexViewModel::MoveBy(long long bytes, long long rows) {
  if (mode_ == CaretMode::Address) return;
  long long position = static_cast<long long>(position_) + static_cast<long long>(rowWidth_) * rows;
  if (mode_ == CaretMode::Character) {
    position += bytes;
  } else if (bytes != 0) {
    const bool wasHigh = mode_ == CaretMode::HighDigit;
    mode_ = wasHigh ? CaretMode::LowDigit : CaretMode::HighDigit;
    if (wasHigh && bytes < 0) --position;
    if (!wasHigh && bytes > 0) ++position;
  }
  if (position < 0) position = 0;
  if (position < static_cast<long long>(data_.size())) position_ = static_cast<std::size_t>(position);
  ScrollToCaret();
}

// Page Up and Page Down scroll a page and take the position along, so the caret keeps its row
// on the screen; on the first or last page they go to the first or last row.
void HexViewModel::MovePage(bool down) {
  const std::size_t oldTop = top_;
  const std::size_t page = RowsPerPage() * rowWidth_;
  SetTop(down ? top_ + page : (top_ > page ? top_ - page : 0));
  const std::size_t column = position_ % rowWidth_;
  if (top_ != oldTop) {
    ShiftPosition(static_cast<long long>(top_) - static_cast<long long>(oldTop));
  } else if (down) {
    position_ = std::min((RowsNeeded() > 0 ? RowsNeeded() - 1 : 0) * rowWidth_ + column, LastByte());
  } else {
    position_ = std::min(column, LastByte());
  }
  ScrollToCaret();
}

bool HexViewModel::KeyDown(HexKey key, bool shift, bool ctrl) {
  if (!hasData_) return false;
  FlagGuard keep(keepPosition_);
  switch (key) {
    case HexKey::Tab:
      mode_ = mode_ == CaretMode::Address || mode_ == CaretMode::Character ? CaretMode::HighDigit
                                                                           : CaretMode::Character;
      return true;
    case HexKey::Insert: {
      const auto selection = Selection();
      const std::size_t count = selection ? selection->second - selection->first : 1;
      InsertBytes(position_, std::vector<std::uint8_t>(count, 0));
      return true;
    }
    case HexKey::Delete:
      if (Selection()) {
        DeleteSelection();
      } else if (position_ < data_.size()) {
        DeleteRange(position_, position_ + 1);
      }
      return true;
    default:
      break;
  }
  // The movement keys: without Shift the selection goes; with Shift it runs from where the
  // caret was to where it is now (over the byte under the caret after a step forward in the
  // hex column).
  if (!shift) {
    ClearSelection();
  } else if (!selection_) {
    selection_ = Anchor{position_, position_};
  }
  bool forward = false;
  switch (key) {
    case HexKey::Left:
      MoveBy(-1, 0);
      break;
    case HexKey::Right:
      MoveBy(1, 0);
      forward = true;
      break;
    case HexKey::Up:
      MoveBy(0, -1);
      break;
    case HexKey::Down:
      MoveBy(0, 1);
      forward = true;
      break;
    case HexKey::Home:
      if (ctrl) {
        position_ = 0;
        SetTop(0);
      } else {
        position_ -= position_ % rowWidth_;
        ScrollToCaret();
      }
      break;
    case HexKey::End:
      if (ctrl) {
        position_ = LastByte();
        SetTop(LastPagePartial() ? 0 : MaxTop());
      } else {
        position_ = std::min(position_ - position_ % rowWidth_ + rowWidth_ - 1, LastByte());
        ScrollToCaret();
      }
      forward = true;
      break;
    case HexKey::PageUp:
      MovePage(false);
      break;
    case HexKey::PageDown:
      MovePage(true);
      forward = true;
      break;
    default:
      return false;
  }
  if (shift) selection_->end = forward ? SelectionEndAtCaret() : position_;
  return true;
}

// --- mouse -----------------------------------------------------------------------------------

std::optional<HexViewModel::Hit> HexViewModel::HitTest(int cell, int row) const {
  if (cell < 0 || row < 0 || static_cast<unsigned>(row) >= VisibleRows()) return std::nullopt;
  const std::size_t rowStart = top_ + static_cast<std::size_t>(row) * rowWidth_;
  if (rowStart >= data_.size()) return std::nullopt;
  const HexColumns columns = Columns();
  const auto x = static_cast<unsigned>(cell);
  const auto width = static_cast<unsigned>(rowWidth_);
  std::optional<Hit> hit;
  if (x < columns.addressDigits) {
    hit = Hit{rowStart, CaretMode::Address};
  } else if (showHex_ && showAddress_ && x == columns.addressDigits) {
    hit = Hit{rowStart, CaretMode::HighDigit};  // the blank after the address
  } else if (showHex_ && x >= columns.hexStart && x < columns.hexStart + kHexCellsPerByte * width) {
    const unsigned byte = (x - columns.hexStart) / kHexCellsPerByte;
    const unsigned digit = (x - columns.hexStart) % kHexCellsPerByte;
    // The blank after a byte stands for the high digit of the next one.
    hit = Hit{rowStart + byte + (digit == 2 ? 1 : 0), digit == 1 ? CaretMode::LowDigit : CaretMode::HighDigit};
  } else if (showCharacters_ && x >= columns.characterStart && x < columns.characterStart + width) {
    hit = Hit{rowStart + (x - columns.characterStart), CaretMode::Character};
  }
  if (hit && hit->position >= data_.size()) return std::nullopt;
  return hit;
}

void HexViewModel::PointerDown(int cell, int row, bool shift) {
  if (!hasData_) return;
  const auto hit = HitTest(cell, row);
  if (!hit) return;
  const std::size_t old = position_;
  position_ = hit->position;
  mode_ = hit->mode;
  if (shift) {
    selection_ = Anchor{old, SelectionEndAtCaret()};
    dragging_ = false;
    return;
  }
  ClearSelection();
  dragging_ = true;  // a drag from here selects; a plain click leaves no selection
}

void HexViewModel::PointerDrag(int cell, int row) {
  if (!dragging_) return;
  {
    FlagGuard keep(keepPosition_);  // the pointer, not the scrolling, places the caret
    if (row < 0) {
      LineUp();
      row = 0;
    } else if (static_cast<unsigned>(row) >= VisibleRows()) {
      LineDown();
      row = static_cast<int>(VisibleRows()) - 1;
    }
  }
  if (!selection_) selection_ = Anchor{position_, position_};
  const auto hit = HitTest(cell, row);
  if (!hit) return;
  position_ = hit->position;
  mode_ = hit->mode;
  selection_->end = SelectionEndAtCaret();
}

void HexViewModel::PointerUp() {
  dragging_ = false;
  if (selection_ && !Selection()) ClearSelection();  // a drag that selected nothing
}

}  // namespace korvex
