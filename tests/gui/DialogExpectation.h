#pragma once
// The program's modal dialogs in tests: wxTEST_DIALOG with an expectation that drives the
// dialog through a function (whose result is ShowModal's), and unmet or unexpected dialogs
// reported to GoogleTest instead of wx's assert handler.
#include <gtest/gtest.h>

#include <functional>

#include <wx/button.h>
#include <wx/testing.h>

namespace korvex::test {

class GtestModalHook final : public wxTestingModalHook {
 public:
  using wxTestingModalHook::wxTestingModalHook;
  void ReportFailure(const wxString& message) override { ADD_FAILURE() << message.utf8_string(); }
};

template <typename Dialog>
class Drive final : public wxExpectModalBase<Dialog, Drive<Dialog>> {
 public:
  explicit Drive(std::function<int(Dialog&)> action) : action_(std::move(action)) {}

 protected:
  int OnInvoked(Dialog* dialog) const override { return action_(*dialog); }

 private:
  std::function<int(Dialog&)> action_;
};

// A click on a button, as the user makes it.
inline void Click(wxButton& button) {
  wxCommandEvent click(wxEVT_BUTTON, button.GetId());
  click.SetEventObject(&button);
  button.ProcessWindowEvent(click);
}

}  // namespace korvex::test

#undef wxTEST_DIALOG_HOOK_CLASS
#define wxTEST_DIALOG_HOOK_CLASS korvex::test::GtestModalHook
