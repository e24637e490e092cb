#include "setup/dialogs/SetupApp.h"

#include "wxcommon/WxText.h"
#include "platform/DeviceList.h"
#include "setup/Distribution.h"
#include "setup/SetupFolders.h"
#include "setup/dialogs/SetupDisplay.h"
#include "setup/dialogs/SetupMainDlg.h"

namespace korvex::setup {

bool CSetupApp::OnInit() {
  SetupPrompt prompt;
  distribution_ = DistributionFolder(argc > 1 ? Utf8(argv[1]) : std::string());
  if (const auto missing = MissingDistributionFiles(distribution_); !missing.empty()) {
    prompt.Message(IncompleteMessage(missing), PromptIcon::Stop);
    return false;
  }
  std::string error;
  store_ = OpenRegistryStore(DefaultUserHivePath(), DeviceList{}, "", error);
  if (!store_) {
    prompt.Message(error, PromptIcon::Stop);
    return false;
  }
  SetAppName("korvex-setup");
  return true;
}

int CSetupApp::OnRun() {
  SetupPrompt prompt;
  CSetupMainDlg dialog(nullptr, {distribution_, ApplicationsFolder(), *store_, prompt, {}});
  dialog.ShowModal();
  return 0;
}

}  // namespace korvex::setup
