#pragma once
// "Sektoransicht": one sector in the hex view, on a copy of its bytes; nothing changed in the
// view goes back to the disk or to the caller.
#include <cstdint>
#include <span>
#include <string>

#include <wx/dialog.h>

#include "platform/Prompt.h"

namespace korvex {

class CHexView;

class CSectorViewDlg final : public wxDialog {
 public:
  CSectorViewDlg(wxWindow* parent, std::span<const std::uint8_t> bytes, CPrompt& prompt);
  CHexView& hexView() const { return *view_; }

 private:
  CHexView* view_ = nullptr;
};

}  // namespace korvex
