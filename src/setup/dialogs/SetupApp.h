#pragma once
// The installer program: checks that its distribution folder is complete, opens the user's
// settings store and shows the main dialog; the program ends when that dialog closes.
#include <filesystem>
#include <memory>

#include <wx/app.h>

#include "platform/RegistryStore.h"

namespace korvex::setup {

class CSetupApp final : public wxApp {
 public:
  // The checks before any dialog; false (the program ends with status 1) after their message.
  bool OnInit() override;
  // The main dialog, modal; the program's exit status 0 once it is closed.
  int OnRun() override;

 private:
  std::filesystem::path distribution_;
  std::unique_ptr<RegistryStore> store_;
};

}  // namespace korvex::setup
