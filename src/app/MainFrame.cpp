#include "app/MainFrame.h"

#include <wx/app.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "app/DeviceView.h"
#include "app/DiskMap.h"
#include "app/FrameMenus.h"
#include "app/OverView.h"
#include "app/PartView.h"
#include "app/PendingPane.h"
#include "wxcommon/ProgramIcon.h"
#include "app/SystemInfoView.h"
#include "app/WxCommands.h"
#include "wxcommon/WxText.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "shell/PendingOperations.h"

namespace korvex {
namespace {

// The status bar: the message pane, the count of pending changes, then Caps Lock, Num Lock and
// Scroll Lock.
constexpr int kStatusPanes = 5;
constexpr int kPendingStatusPane = 1;
constexpr int kFirstLockPane = 2;
constexpr int kStatusWidths[kStatusPanes] = {-1, 170, 40, 40, 40};
constexpr int kWideStatusWidths[kStatusPanes] = {-1, 0, 0, 0, 0};
const struct {
  wxKeyCode key;
  const char* text;
} kLockIndicators[] = {{WXK_CAPITAL, "UF"}, {WXK_NUMLOCK, "NUM"}, {WXK_SCROLL, "RF"}};

}  // namespace

CMainFrame::CMainFrame(std::unique_ptr<CKorvexDoc> doc)
    : wxFrame(nullptr, wxID_ANY, Wx(CKorvexDoc::Title() + " - " + LoadResString(IDS_APP_TITLE)), wxDefaultPosition,
              wxSize(640, 480)),
      doc_(std::move(doc)) {
  SetName(Wx(LoadResString(IDS_APP_TITLE)));
  SetIcons(ProgramIcons());
  CreateBars();
  CreatePanes();

  BindCommands();
  Bind(wxEVT_MENU, &CMainFrame::OnCommand, this, kFirstCommandWxId, kLastCommandWxId);
  Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateCommand, this, kFirstCommandWxId, kLastCommandWxId);
  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
  Bind(wxEVT_IDLE, &CMainFrame::OnIdle, this);
  Bind(wxEVT_MENU_OPEN, [this](wxMenuEvent& event) {
    event.Skip();
    WidenPromptPane(true);
  });
  Bind(wxEVT_MENU_CLOSE, [this](wxMenuEvent& event) {
    event.Skip();
    WidenPromptPane(false);
  });
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, wxID_EXIT);
  Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
    GetToolBar()->Show(event.IsChecked());
    SendSizeEvent();
  }, kToggleToolbarId);
  Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
    GetStatusBar()->Show(event.IsChecked());
    SendSizeEvent();
  }, kToggleStatusBarId);
  Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
    pendingWanted_ = event.IsChecked();
    ShowPendingChanges();
  }, kTogglePendingPaneId);

  Bind(wxEVT_CHAR_HOOK, &CMainFrame::OnFrameKey, this);

  doc_->workingCopy().Subscribe(*this);
  RebuildViews();
  PlaceOnScreen();
}

CMainFrame::~CMainFrame() { doc_->workingCopy().Unsubscribe(*this); }

void CMainFrame::CreateBars() {
  SetMenuBar(CreateMenuBar());
  FillToolBar(*CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT));
  wxStatusBar* status = CreateStatusBar(kStatusPanes);
  status->SetStatusWidths(kStatusPanes, kStatusWidths);
  status->SetStatusText(Wx("Bereit"));
}

CommandContext CMainFrame::Context() const {
  return {doc_->workingCopy(), tree_->SelectedNode(), right_->Kind(), right_->IsModified()};
}

void CMainFrame::OnCommand(wxCommandEvent& event) {
  const auto command = CommandOfWxId(event.GetId());
  const auto handler = command ? handlers_.find(*command) : handlers_.end();
  if (handler == handlers_.end() || !IsCommandEnabled(*command, Context())) {
    event.Skip();
    return;
  }
  Guarded(handler->second);
}

void CMainFrame::OnUpdateCommand(wxUpdateUIEvent& event) {
  const auto command = CommandOfWxId(event.GetId());
  if (!command) {
    event.Skip();
    return;
  }
  event.Enable(HasHandler(*command) && IsCommandEnabled(*command, Context()));
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
  event.Skip();
  wxStatusBar* status = GetStatusBar();
  for (int i = 0; i < 3; ++i) {
    const wxString text = wxGetKeyState(kLockIndicators[i].key) ? Wx(kLockIndicators[i].text) : wxString();
    if (status->GetStatusText(i + kFirstLockPane) != text) status->SetStatusText(text, i + kFirstLockPane);
  }
}

void CMainFrame::WidenPromptPane(bool wide) {
  if (wxStatusBar* status = GetStatusBar()) status->SetStatusWidths(kStatusPanes, wide ? kWideStatusWidths : kStatusWidths);
}

bool CMainFrame::MayLeaveRightPane() {
  if (right_->Kind() == RightPane::SystemInfo || !right_->IsModified()) return true;
  const PromptAnswer answer =
      doc_->prompt().Ask(LoadResString(IDS_APPLY_CHANGES), PromptButtons::YesNoCancel, PromptIcon::Question);
  if (answer == PromptAnswer::Cancel) return false;
  if (answer == PromptAnswer::No) return true;
  // Yes: the partition form's values are applied and it stays in view to show the result; the
  // overview lets the selection go once its values are in.
  bool leave = false;
  Guarded([&] { leave = right_->Apply() == FormApplyResult::Applied && right_->Kind() == RightPane::Overview; });
  return leave;
}

void CMainFrame::ShowRightPaneForSelection() {
  const auto node = tree_->SelectedNode();
  const auto kind = node ? KindOf(doc_->workingCopy(), *node) : std::nullopt;
  CRightPane* pane = nullptr;
  if (kind == NodeKind::Disk || kind == NodeKind::BootDisk) {
    pane = new COverView(area_, *doc_, node->device);
  } else if (kind && *kind != NodeKind::Computer) {
    pane = new CPartView(area_, *doc_, node->object);
  } else {
    pane = new CSystemInfo(area_, *doc_);
  }
  ReplaceRightPane(pane);
  ShowDiskMap();
}

void CMainFrame::ReplaceRightPane(CRightPane* pane) {
  CRightPane* old = right_;
  area_->GetSizer()->Replace(old, pane);
  right_ = pane;
  old->Destroy();
  area_->Layout();
}

void CMainFrame::OnWorkingCopyChange(ChangeEvent, unsigned) {
  if (rebuildPending_) return;
  rebuildPending_ = true;
  if (guardDepth_ == 0) CallAfter(&CMainFrame::RebuildViews);
}

void CMainFrame::Guarded(const std::function<void()>& work) {
  ++guardDepth_;
  {
    // One command is one step of the undo history, however many changes it makes.
    EditStep step(doc_->workingCopy());
    work();
  }
  if (--guardDepth_ == 0 && rebuildPending_) CallAfter(&CMainFrame::RebuildViews);
}

void CMainFrame::RebuildViews() {
  if (guardDepth_ > 0) return;  // the guard's end schedules it again
  rebuildPending_ = false;
  const auto selected = tree_->SelectedNode();
  shownTree_ = BuildDeviceTree(doc_->workingCopy(), doc_->computerName(), &doc_->details());
  tree_->Rebuild(shownTree_, selected);
  ShowPendingChanges();
  // A form that still holds the user's edits of the same node stays as typed.
  if (tree_->SelectedNode() == selected && right_->Kind() != RightPane::SystemInfo && right_->IsModified()) {
    ShowDiskMap();
    return;
  }
  ShowRightPaneForSelection();
}

void CMainFrame::ShowPendingChanges() {
  std::vector<std::string> lines;
  for (const PendingOperation& operation : PendingOperations(doc_->workingCopy(), doc_->registry())) {
    lines.push_back(operation.text);
  }
  pending_->ShowLines(lines);
  pending_->Show(pendingWanted_ && !lines.empty());
  Layout();
  const std::string count = lines.empty()       ? std::string()
                            : lines.size() == 1 ? std::string(text::kPendingCountOne)
                                                : StrFormat(text::kPendingCount, lines.size());
  GetStatusBar()->SetStatusText(Wx(count), kPendingStatusPane);
}

void CMainFrame::OnClose(wxCloseEvent& event) {
  const bool formChanged = right_->Kind() != RightPane::SystemInfo && right_->IsModified();
  if (event.CanVeto() && (formChanged || doc_->workingCopy().AnyModified()) &&
      doc_->prompt().Ask(LoadResString(IDS_DISCARD_CHANGES), PromptButtons::YesNoDefaultNo, PromptIcon::Question) !=
          PromptAnswer::Yes) {
    event.Veto();
    return;
  }
  RememberPlacement();
  Destroy();
}

std::optional<ObjectRef> CMainFrame::SelectedRef() const {
  const auto node = tree_->SelectedNode();
  if (!node || node->type != NodeRef::Type::Object) return std::nullopt;
  return node->object;
}

void CMainFrame::WithSelectedRef(const std::function<void(const ObjectRef&)>& action) {
  const auto ref = SelectedRef();
  if (ref && Resolve(doc_->workingCopy(), *ref)) action(*ref);
}

void CMainFrame::WithSelectedObject(const std::function<void(ResolvedObject&)>& action) {
  const auto ref = SelectedRef();
  auto selected = ref ? Resolve(doc_->workingCopy(), *ref) : std::nullopt;
  if (selected) action(*selected);
}

std::optional<unsigned> CMainFrame::SelectedDevice() const {
  const auto node = tree_->SelectedNode();
  if (!node || node->type == NodeRef::Type::Computer) return std::nullopt;
  return node->device;
}

void CMainFrame::SaveAll() {
  // Pending form values go in first; refused values leave the working copy as it was.
  if (right_->Kind() != RightPane::SystemInfo && right_->IsModified()) right_->Apply();
  doc_->SaveAll();
}

}  // namespace korvex
