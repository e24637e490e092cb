#pragma once
// The main window's menu bar and toolbar: the program's commands with their German texts,
// status-bar prompts and toolbar pictures.
class wxMenuBar;
class wxToolBar;

namespace korvex {

// Frame-only ids (below the commands' range): showing and hiding the toolbar, the status bar
// and the pane of pending changes.
inline constexpr int kToggleToolbarId = 700;
inline constexpr int kToggleStatusBarId = 701;
inline constexpr int kTogglePendingPaneId = 702;

wxMenuBar* CreateMenuBar();
void FillToolBar(wxToolBar& toolbar);

}  // namespace korvex
