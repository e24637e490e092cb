#pragma once
// The installer program: checks that its distribution folder is complete, opens the user's
// settings store and shows the main dialog; the program ends when that dialog closes.
#include <wx/app.h>

namespace korvex::setup {

class CSetupApp final : public wxApp {
 public:
  bool OnInit() override;
};

}  // namespace korvex::setup
