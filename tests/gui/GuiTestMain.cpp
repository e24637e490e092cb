// The GUI tests run in one wx application that makes no window of its own; each test opens the
// main window through the program's own start-up and closes it again.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>

namespace {

class GuiTestApp final : public wxApp {
 public:
  bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new GuiTestApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) return 2;
  const int result = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
