#pragma once
// The main window on disk images, driven as a user would through command events, with its
// questions answered by a scripted prompt and the command states read through update-UI
// events.
#include <wx/app.h>

#include <cstdlib>

#include "app/DeviceView.h"
#include "app/KorvexApp.h"
#include "app/MainFrame.h"
#include "app/RightPane.h"
#include "app/Screenshot.h"
#include "app/WxCommands.h"
#include "bootengine/EngineDiskFixture.h"
#include "support/SavedVariable.h"

namespace korvex::test {

class GuiTest : public EngineDiskTest {
 protected:
  void SetUp() override {
    ::setenv("KORVEX_HOME", dir.File("home").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", dir.File("cache").c_str(), 1);
    // A restart that a test might accept by mistake must not restart the machine.
    ::setenv("KORVEX_RESTART_COMMAND", "false", 1);
  }
  void TearDown() override { CloseFrame(); }

  // The partition type catalogue that ships with the program, in the test's registry store.
  void ImportCatalogue() {
    std::string error;
    auto store = OpenRegistryStore(DefaultUserHivePath(), DeviceList{}, "", error);
    ASSERT_TRUE(store) << error;
    ASSERT_TRUE(ImportRegFile(*store, std::string(KORVEX_SOURCE_DIR) + "/data/parts.reg", error)) << error;
  }

  // The window program as if it lay in a folder without a shipped catalogue: only what the test
  // imported counts.
  CMainFrame* OpenWindow(const std::vector<std::string>& specs, bool demo = false) {
    frame = OpenMainWindow({specs, demo, true, dir.File("bin")}, prompt);
    Settle();
    return frame;
  }
  void CloseFrame() {
    if (frame == nullptr) return;
    frame->Destroy();
    frame = nullptr;
    Settle();
  }
  // Lets the frame carry out what it deferred (the views' rebuild, deleted windows).
  static void Settle() {
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
  }

  bool Enabled(CommandId command) {
    wxUpdateUIEvent event(WxIdOf(command));
    event.SetEventObject(frame);
    frame->ProcessWindowEvent(event);
    return event.GetSetEnabled() && event.GetEnabled();
  }
  void Run(CommandId command) {
    wxCommandEvent event(wxEVT_MENU, WxIdOf(command));
    event.SetEventObject(frame);
    frame->ProcessWindowEvent(event);
    Settle();
  }
  bool Select(const NodeRef& ref) {
    const bool moved = frame->deviceView().SelectNode(ref);
    Settle();
    return moved;
  }
  // With KORVEX_DIALOG_PICTURES naming a folder, the main window is painted and its picture
  // saved there as NAME.png, as SavePictureIfAsked does for a dialog.
  void SaveFramePictureIfAsked(const std::string& name) {
    const char* folder = std::getenv("KORVEX_DIALOG_PICTURES");
    if (folder == nullptr) return;
    frame->Raise();
    for (int i = 0; i < 30; ++i) {
      frame->Refresh();
      frame->Update();
      wxTheApp->Yield(true);
      wxMilliSleep(20);
    }
    SaveWindowPicture(*frame, std::string(folder) + "/" + name + ".png");
  }
  WorkingCopy& Copy() { return frame->doc().workingCopy(); }
  NodeRef At(unsigned device, LevelKind level, std::uint32_t start) {
    const auto ref = FindObjectAt(Copy(), device, level, start);
    EXPECT_TRUE(ref) << "nothing at " << start;
    return ref ? NodeRef::Object(*ref) : NodeRef::Computer();
  }
  std::optional<NodeRef> Selected() const { return frame->deviceView().SelectedNode(); }
  RightPane PaneKind() const { return frame->rightPane().Kind(); }
  template <typename Pane>
  Pane& PaneAs() const {
    auto* pane = dynamic_cast<Pane*>(&frame->rightPane());
    EXPECT_NE(pane, nullptr);
    return *pane;
  }

  SavedVariable home_{"KORVEX_HOME"};
  SavedVariable cache_{"XDG_CACHE_HOME"};
  SavedVariable restart_{"KORVEX_RESTART_COMMAND"};
  CMainFrame* frame = nullptr;
};

}  // namespace korvex::test
