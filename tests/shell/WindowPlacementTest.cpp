// The main window's place: its first size, a remembered place put back on the screen as it is
// now, and the place kept in the settings store across two starts.
#include "shell/WindowPlacement.h"

#include <gtest/gtest.h>

#include "platform/ProgramSettings.h"
#include "support/TempDir.h"

namespace korvex {
namespace {

const ScreenRect kScreen{0, 0, 1280, 1024};

TEST(WindowPlacementTest, TheFirstSizeIsAtLeast1024By640WhereTheScreenAllowsCentred) {
  EXPECT_EQ(FirstFramePlacement(700, 400, kScreen), (ScreenRect{128, 192, 1024, 640}));
  // Labels that need more get it, up to the screen's visible area.
  EXPECT_EQ(FirstFramePlacement(1200, 700, kScreen), (ScreenRect{40, 162, 1200, 700}));
  EXPECT_EQ(FirstFramePlacement(1500, 1100, kScreen), kScreen);
  // A small desktop: the window fills it from (0, 0).
  EXPECT_EQ(FirstFramePlacement(700, 400, {0, 0, 640, 480}), (ScreenRect{0, 0, 640, 480}));
  // A visible area that does not start at (0, 0), below a panel.
  EXPECT_EQ(FirstFramePlacement(700, 400, {0, 32, 1280, 992}), (ScreenRect{128, 208, 1024, 640}));
}

TEST(WindowPlacementTest, ARememberedPlaceIsPutBackOnTheVisibleScreen) {
  EXPECT_EQ(ClampToScreen({100, 50, 900, 600}, kScreen), (ScreenRect{100, 50, 900, 600}));
  // Left on a second screen that is gone: moved in whole.
  EXPECT_EQ(ClampToScreen({1900, 50, 900, 600}, kScreen), (ScreenRect{380, 50, 900, 600}));
  EXPECT_EQ(ClampToScreen({-400, -80, 900, 600}, kScreen), (ScreenRect{0, 0, 900, 600}));
  // Larger than the screen now: as large as it.
  EXPECT_EQ(ClampToScreen({10, 10, 1600, 1200}, {0, 0, 640, 480}), (ScreenRect{0, 0, 640, 480}));
}

TEST(WindowPlacementTest, TheSashLeavesBothPanesTheirLeastWidth) {
  EXPECT_EQ(ClampTreeWidth(320, 1024), 320);
  EXPECT_EQ(ClampTreeWidth(20, 1024), kMinPaneWidth);
  EXPECT_EQ(ClampTreeWidth(1000, 1024), 1024 - kMinPaneWidth);
}

TEST(WindowPlacementTest, ThePlaceIsKeptInTheSettingsStoreAcrossTwoStarts) {
  test::TempDir dir;
  const std::string hive = dir.File("user.reg");
  const WindowPlacement placement{{-200, 40, 900, 600}, true, 345};
  {
    std::string error;
    auto store = OpenRegistryStore(hive, DeviceList(), "", error);
    ASSERT_TRUE(store) << error;
    EXPECT_EQ(ReadWindowPlacement(*store), std::nullopt);
    ASSERT_TRUE(StoreWindowPlacement(*store, placement));
  }
  std::string error;
  auto store = OpenRegistryStore(hive, DeviceList(), "", error);
  ASSERT_TRUE(store) << error;
  EXPECT_EQ(ReadWindowPlacement(*store), placement);
  // A store with a part of it missing (edited by hand) holds none.
  ASSERT_TRUE(store->DeleteValue(RegRoot::CurrentUser, kSettingsKey, "TreeWidth"));
  EXPECT_EQ(ReadWindowPlacement(*store), std::nullopt);
}

}  // namespace
}  // namespace korvex
