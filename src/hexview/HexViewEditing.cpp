// The hex view's editing: typed characters and digits, deleting and inserting bytes, the
// clipboard operations and the context menu's states.
#include <algorithm>

#include "hexview/HexViewModel.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// The character codes of Ctrl+letter.
constexpr char32_t kCtrlC = 0x03;
constexpr char32_t kCtrlV = 0x16;
constexpr char32_t kCtrlX = 0x18;
constexpr char32_t kCtrlZ = 0x1A;
constexpr char32_t kBackspace = 0x08;
constexpr char32_t kTab = 0x09;
constexpr char32_t kLastByteValue = 0xFF;

// The value of a hex digit typed into the hex column: only 0-9 and lowercase a-f count.
std::optional<unsigned> DigitValue(char32_t character) {
  if (character >= '0' && character <= '9') return static_cast<unsigned>(character - '0');
  if (character >= 'a' && character <= 'f') return static_cast<unsigned>(character - 'a' + 10);
  return std::nullopt;
}

}  // namespace

std::optional<HexCommand> HexViewModel::TypeCharacter(char32_t character, bool ctrl) {
  if (!hasData_ || character == kTab) return std::nullopt;
  if (ctrl) {
    switch (character) {
      case kCtrlC:
        return HexCommand::Copy;
      case kCtrlX:
        return HexCommand::Cut;
      case kCtrlV:
        return HexCommand::Paste;
      case kCtrlZ:
        return HexCommand::Undo;
      default:
        break;  // any other Ctrl character is typed like the rest
    }
  }
  if (character == kBackspace) {
    if (position_ > 0) {
      const std::size_t position = position_;
      DeleteRange(position - 1, position);
      position_ = position - 1;
    }
    return std::nullopt;
  }
  ClearSelection();
  // Typing changes the byte under the caret; where there is none (behind the last byte after a
  // deletion) there is nothing to change.
  if (position_ >= data_.size()) return std::nullopt;
  if (mode_ == CaretMode::Character && character <= kLastByteValue) {
    data_[position_] = static_cast<std::uint8_t>(character);
    MoveBy(1, 0);
  } else if (HexMode()) {
    if (const auto digit = DigitValue(character)) {
      SetDigit(*digit);
      MoveBy(1, 0);
    }
  }
  return std::nullopt;
}

void HexViewModel::SetDigit(unsigned value) {
  std::uint8_t& byte = data_[position_];
  byte = mode_ == CaretMode::HighDigit ? static_cast<std::uint8_t>((byte & 0x0F) | (value << 4))
                                       : static_cast<std::uint8_t>((byte & 0xF0) | value);
}

void HexViewModel::DeleteRange(std::size_t first, std::size_t end) {
  end = std::min(end, data_.size());
  if (first < end) {
    data_.erase(data_.begin() + static_cast<std::ptrdiff_t>(first), data_.begin() + static_cast<std::ptrdiff_t>(end));
  }
  position_ = std::min(position_, data_.size());
  top_ = std::min(top_, MaxTop());
  ClearSelection();
}

bool HexViewModel::InsertBytes(std::size_t at, std::span<const std::uint8_t> bytes) {
  if (data_.size() + bytes.size() > kHexViewCapacity) return false;
  at = std::min(at, data_.size());
  data_.insert(data_.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin(), bytes.end());
  ClearSelection();
  return true;
}

bool HexViewModel::CommandEnabled(HexCommand command, bool clipboardHasData) const {
  if (!hasData_) return false;
  switch (command) {
    case HexCommand::Undo:
      return false;
    case HexCommand::Cut:
    case HexCommand::Copy:
    case HexCommand::Delete:
      return HasSelection();
    case HexCommand::Paste:
      return clipboardHasData;
    case HexCommand::SelectAll:
      return true;
  }
  return false;
}

std::optional<ClipboardContent> HexViewModel::Copy() const {
  const auto selection = Selection();
  if (!selection) return std::nullopt;
  const std::span<const std::uint8_t> bytes(data_.data() + selection->first, selection->second - selection->first);
  ClipboardContent content;
  content.binary.assign(bytes.begin(), bytes.end());
  // The text reads like the column the caret is in.
  content.text = mode_ == CaretMode::Character ? HexCharacters(bytes) : HexDigitPairs(bytes);
  return content;
}

std::optional<ClipboardContent> HexViewModel::Cut() {
  auto content = Copy();
  if (content) DeleteSelection();
  return content;
}

void HexViewModel::DeleteSelection() {
  const auto selection = Selection();
  if (!selection) {
    ClearSelection();
    return;
  }
  position_ = selection->first;
  DeleteRange(selection->first, selection->second);
}

PasteResult HexViewModel::Paste(const ClipboardOffer& clipboard) {
  if (!hasData_) return {};
  std::vector<std::uint8_t> block;
  if (clipboard.binary) {
    block = *clipboard.binary;
  } else if (clipboard.text) {
    block.assign(clipboard.text->begin(), clipboard.text->end());
  }
  if (block.empty()) return {};
  const auto selection = Selection();
  const std::size_t replaced = selection ? selection->second - selection->first : 0;
  const std::size_t length = data_.size() - replaced + block.size();
  if (length > kHexViewCapacity) {
    return PasteResult{false, StrFormat(text::kPasteTooLarge, kHexViewCapacity, block.size(), length)};
  }
  const std::size_t position = position_;
  // Without a selection the bytes go in at the caret, after the byte whose low digit it is on.
  std::size_t at = position_ + (mode_ == CaretMode::LowDigit ? 1 : 0);
  if (selection) {
    DeleteRange(selection->first, selection->second);
    at = selection->first;
  }
  InsertBytes(at, block);
  position_ = std::min(position, data_.size());
  return PasteResult{true, {}};
}

void HexViewModel::SelectAll() {
  if (!hasData_ || data_.empty()) return;
  selection_ = Anchor{0, data_.size()};
}

}  // namespace korvex
