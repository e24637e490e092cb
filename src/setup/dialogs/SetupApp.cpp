#include "setup/dialogs/SetupApp.h"

#include "wxcommon/WxText.h"
#include "platform/DeviceList.h"
#include "platform/Registry.h"
#include "setup/Distribution.h"
#include "setup/SetupFolders.h"
#include "setup/dialogs/SetupDisplay.h"
#include "setup/dialogs/SetupMainDlg.h"

namespace korvex::setup {

bool CSetupApp::OnInit() {
  SetupPrompt prompt;
  const auto distribution = DistributionFolder(argc > 1 ? Utf8(argv[1]) : std::string());
  if (const auto missing = MissingDistributionFiles(distribution); !missing.empty()) {
    prompt.Message(IncompleteMessage(missing), PromptIcon::Stop);
    return false;
  }
  std::string error;
  auto store = OpenRegistryStore(DefaultUserHivePath(), DeviceList{}, "", error);
  if (!store) {
    prompt.Message(error, PromptIcon::Stop);
    return false;
  }
  SetAppName("korvex-setup");
  CSetupMainDlg dialog(nullptr, {distribution, ApplicationsFolder(), *store, prompt, {}});
  dialog.ShowModal();
  return false;
}

}  // namespace korvex::setup
