#pragma once
// The row of buttons under a dialog: the default button, which closes the dialog with wxID_OK
// once its action reports success (a refusal leaves it open), any further buttons, and the
// button that closes it with wxID_CANCEL.
#include <functional>
#include <initializer_list>

class wxButton;
class wxDialog;
class wxSizer;

namespace korvex {

wxSizer* DialogButtonRow(wxDialog& dialog, const char* okLabel, std::function<bool()> action, const char* cancelLabel,
                         std::initializer_list<wxButton*> between = {});

}  // namespace korvex
