#pragma once
// "Deinstallieren...": a note that the boot engine stays the program's business, the log, and
// "&Deinstallieren".
#include <filesystem>

#include "setup/dialogs/SetupStepDlg.h"

namespace korvex::setup {

class CUninstallDlg final : public CSetupStepDlg {
 public:
  // Uninstalls the installation in installFolder.
  CUninstallDlg(wxWindow* parent, const SetupContext& setupContext, std::filesystem::path installFolder);

 private:
  StepEnd RunStep() override;

  std::filesystem::path installFolder_;
};

}  // namespace korvex::setup
