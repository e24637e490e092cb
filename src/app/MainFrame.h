#pragma once
// The main window: the device tree on the left, one form on the right chosen by the kind of the
// selected node, the menu bar, toolbar and status bar. It decides which commands are enabled
// (the core's command-state table), routes every command to its handler, asks about pending
// form changes when the selection moves and about unsaved changes when it closes, and rebuilds
// its views when the working copy tells of a change.
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include <wx/frame.h>

#include "app/KorvexDoc.h"
#include "partition/ChangeEvents.h"
#include "partition/ObjectRef.h"
#include "shell/CommandStates.h"

class wxPanel;
class wxSplitterWindow;

namespace korvex {

class CDeviceView;
class CDiskMap;
class CPendingPane;
class CRightPane;

class CMainFrame final : public wxFrame, public IChangeObserver {
 public:
  explicit CMainFrame(std::unique_ptr<CKorvexDoc> doc);
  ~CMainFrame() override;

  CKorvexDoc& doc() { return *doc_; }
  const CKorvexDoc& doc() const { return *doc_; }
  CDeviceView& deviceView() const { return *tree_; }
  CRightPane& rightPane() const { return *right_; }
  CDiskMap& diskMap() const { return *map_; }
  wxSplitterWindow& splitter() const { return *splitter_; }
  CPendingPane& pendingPane() const { return *pending_; }

  // The state the command-state table decides from.
  CommandContext Context() const;
  // False for a command whose dialog is not there yet: it stays greyed everywhere.
  bool HasHandler(CommandId command) const { return handlers_.count(command) != 0; }

  // Before the tree selection moves: asks 33448 when the right pane holds changes. False when
  // the selection is to stay.
  bool MayLeaveRightPane();
  // After it moved: the form for the new node's kind.
  void ShowRightPaneForSelection();

  void OnWorkingCopyChange(ChangeEvent event, unsigned deviceNumber) override;

 private:
  void CreateBars();
  // The splitter with the tree on the left and, on the right, the disk map above the form
  // (FrameLayout.cpp, like the window's place and keys).
  void CreatePanes();
  // The window's size and place as it was left, or at the first start wide enough for the
  // tree's labels; the tree pane grows with the window.
  void PlaceOnScreen();
  // Keeps size, place, maximised state and tree width in the settings store.
  void RememberPlacement();
  // The disk map of the selected node's disk, outlining the selection; hidden for the computer.
  void ShowDiskMap();
  // F5 reloads, wherever the focus is.
  void OnFrameKey(wxKeyEvent& event);
  void BindCommands();
  void Handle(CommandId command, std::function<void()> handler) { handlers_[command] = std::move(handler); }
  void OnCommand(wxCommandEvent& event);
  void OnUpdateCommand(wxUpdateUIEvent& event);
  void OnClose(wxCloseEvent& event);
  void OnIdle(wxIdleEvent& event);
  // While a menu is open its prompt gets the whole status bar; the indicators come back after.
  void WidenPromptPane(bool wide);
  // Runs work with the views' rebuild held back until it returns: a handler may still use the
  // right pane or the objects it found when an edit reports a change.
  void Guarded(const std::function<void()>& work);
  void RebuildViews();
  // The pending changes: the pane (while there are some and the user wants it) and the count in
  // the status bar.
  void ShowPendingChanges();
  void ReplaceRightPane(CRightPane* pane);

  // The reference of the selected node's object, or nothing when the selection is no partition,
  // drive or free area.
  std::optional<ObjectRef> SelectedRef() const;
  // Runs action with the selected object's reference, or with the object resolved, when the
  // reference names an object of the working copy.
  void WithSelectedRef(const std::function<void(const ObjectRef&)>& action);
  void WithSelectedObject(const std::function<void(ResolvedObject&)>& action);
  // The device of the selected disk node; nothing for the computer node.
  std::optional<unsigned> SelectedDevice() const;
  void SaveAll();

  std::unique_ptr<CKorvexDoc> doc_;
  wxSplitterWindow* splitter_ = nullptr;
  CDeviceView* tree_ = nullptr;
  wxPanel* area_ = nullptr;  // the right side: the disk map above the form
  CDiskMap* map_ = nullptr;
  CRightPane* right_ = nullptr;
  DeviceNode shownTree_;     // the tree as last built, for the disk map
  wxRect normalRect_;        // the window's place when it was last neither maximised nor iconised
  CPendingPane* pending_ = nullptr;
  bool pendingWanted_ = true;  // "Ansicht" → "Ausstehende Änderungen"
  std::map<CommandId, std::function<void()>> handlers_;
  int guardDepth_ = 0;
  bool rebuildPending_ = false;
};

}  // namespace korvex
