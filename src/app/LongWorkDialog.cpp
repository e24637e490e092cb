#include "app/LongWorkDialog.h"

#include <algorithm>
#include <optional>

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "wxcommon/WxText.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

// The progress bar counts in at most this many steps (a wxGauge holds an int).
constexpr std::uint64_t kMaxGaugeSteps = 100000;

}  // namespace

// The worker's reports, kept as the latest values: however fast the worker reports, at most one
// call is on its way to the window, and it shows the newest state when it arrives.
class CLongWorkDlg::Progress final : public IProgressSink {
 public:
  struct State {
    std::uint64_t range = 0;
    std::uint64_t position = 0;
    std::string status;
    std::optional<TimeEstimate> estimate;
  };

  explicit Progress(CLongWorkDlg& dialog) : dialog_(dialog) {}

  void SetRange(std::uint64_t range) override {
    Update([&](State& s) { s.range = range; });
  }
  void SetPosition(std::uint64_t position) override {
    Update([&](State& s) { s.position = position; });
  }
  void SetStatus(const std::string& text) override {
    Update([&](State& s) { s.status = text; });
  }
  void SetEstimate(const TimeEstimate& estimate) override {
    Update([&](State& s) { s.estimate = estimate; });
  }

  // On the window's thread: the latest state, and the next report posts again.
  State Take() {
    std::lock_guard guard(lock_);
    posted_ = false;
    return state_;
  }
  void Reset() {
    std::lock_guard guard(lock_);
    state_ = {};
  }

 private:
  void Update(const std::function<void(State&)>& change) {
    bool post = false;
    {
      std::lock_guard guard(lock_);
      change(state_);
      post = !posted_;
      posted_ = true;
    }
    if (post) dialog_.PostToWindow([d = &dialog_] { d->ShowProgress(); });
  }

  CLongWorkDlg& dialog_;
  std::mutex lock_;
  State state_;
  bool posted_ = false;
};

CLongWorkDlg::CLongWorkDlg(wxWindow* parent, const std::string& title, CPrompt& prompt, bool disableCancelWhenAsked)
    : wxDialog(parent, wxID_ANY, Wx(title)),
      prompt_(prompt),
      disableCancelWhenAsked_(disableCancelWhenAsked),
      mailbox_(std::make_shared<Mailbox>()),
      progress_(std::make_unique<Progress>(*this)) {
  mailbox_->target = this;
  // The window manager's close button: a running work is asked about, never left behind.
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
    if (running_ && event.CanVeto()) {
      event.Veto();
      AskToStop();
      return;
    }
    event.Skip();
  });
}

CLongWorkDlg::~CLongWorkDlg() {
  {
    std::lock_guard guard(mailbox_->lock);
    mailbox_->target = nullptr;
  }
  // Only reached without a running work, unless the program itself ends: then the work is
  // stopped at its next block and awaited, so that it never outlives the objects it uses.
  stop_.Request();
  JoinWorker();
}

void CLongWorkDlg::LayOut(const std::vector<wxSizer*>& sections, StatusKind status, wxButton* start,
                          const std::vector<wxButton*>& more) {
  auto* left = new wxBoxSizer(wxVERTICAL);
  for (wxSizer* section : sections) left->Add(section, 0, wxEXPAND | wxBOTTOM, 8);
  left->Add(CreateStatusGroup(status), 0, wxEXPAND);

  cancel_ = new wxButton(this, wxID_CANCEL, Wx("Abbrechen"));
  SetEscapeId(wxID_CANCEL);
  cancel_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    if (running_) {
      AskToStop();
    } else if (IsModal()) {
      EndModal(wxID_CANCEL);
    } else {
      Hide();
    }
  });
  start->SetDefault();
  auto* buttons = new wxBoxSizer(wxVERTICAL);
  buttons->Add(start, 0, wxEXPAND | wxBOTTOM, 6);
  buttons->Add(cancel_, 0, wxEXPAND | wxBOTTOM, 18);
  for (wxButton* button : more) buttons->Add(button, 0, wxEXPAND | wxBOTTOM, 6);

  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(left, 1, wxEXPAND | wxALL, 11);
  top->Add(buttons, 0, wxTOP | wxRIGHT, 11);
  SetSizerAndFit(top);
  CentreOnParent();
}

wxSizer* CLongWorkDlg::CreateStatusGroup(StatusKind status) {
  auto* group = new wxStaticBoxSizer(wxVERTICAL, this, Wx("Status"));
  wxWindow* box = group->GetStaticBox();
  if (status != StatusKind::Estimate) {
    status_ = new wxTextCtrl(box, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
    group->Add(status_, 0, wxEXPAND | wxALL, 4);
  }
  gauge_ = new wxGauge(box, wxID_ANY, 1, wxDefaultPosition, wxSize(300, -1));
  group->Add(gauge_, 0, wxEXPAND | wxALL, 4);
  if (status != StatusKind::StatusLine) {
    auto* times = new wxFlexGridSizer(2, 4, 8);
    total_ = new wxTextCtrl(box, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(90, -1), wxTE_READONLY);
    remaining_ = new wxTextCtrl(box, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(90, -1), wxTE_READONLY);
    times->Add(new wxStaticText(box, wxID_ANY, Wx("Gesamtdauer (geschätzt) :")), 0, wxALIGN_CENTER_VERTICAL);
    times->Add(total_);
    times->Add(new wxStaticText(box, wxID_ANY, Wx("Restdauer")), 0, wxALIGN_CENTER_VERTICAL);
    times->Add(remaining_);
    group->Add(times, 0, wxALL, 4);
  }
  return group;
}

void CLongWorkDlg::AskToStop() {
  if (!running_) return;
  const bool stop =
      prompt_.Ask(text::kCancelWorkQuestion, PromptButtons::YesNoDefaultNo, PromptIcon::Question) == PromptAnswer::Yes;
  // The work may have ended while the question was open: then there is nothing to stop, and
  // the button it enabled again stays enabled.
  if (!running_) return;
  if (stop) stop_.Request();
  if (disableCancelWhenAsked_ && cancel_ != nullptr) cancel_->Disable();
}

void CLongWorkDlg::StartWork(Work work, WorkEnded ended) {
  JoinWorker();
  stop_.Reset();
  progress_->Reset();
  ended_ = std::move(ended);
  running_ = true;
  if (cancel_ != nullptr) {
    cancel_->SetLabel(Wx("Abbrechen"));
    cancel_->Enable();
  }
  worker_ = std::thread([this, work = std::move(work)] {
    WorkOutcome outcome = work(*progress_, stop_);
    PostToWindow([this, outcome = std::move(outcome)] { OnWorkEnded(outcome); });
  });
}

void CLongWorkDlg::PostToWindow(std::function<void()> call) {
  std::lock_guard guard(mailbox_->lock);
  if (mailbox_->target != nullptr) mailbox_->target->CallAfter(std::move(call));
}

void CLongWorkDlg::JoinWorker() {
  if (worker_.joinable()) worker_.join();
}

void CLongWorkDlg::ShowProgress() {
  const Progress::State state = progress_->Take();
  if (gauge_ != nullptr && state.range > 0) {
    const std::uint64_t steps = std::min(state.range, kMaxGaugeSteps);
    const std::uint64_t position = std::min(state.position, state.range);
    gauge_->SetRange(static_cast<int>(steps));
    gauge_->SetValue(static_cast<int>(position * steps / state.range));
  }
  if (status_ != nullptr && status_->GetValue() != Wx(state.status)) status_->ChangeValue(Wx(state.status));
  if (state.estimate && total_ != nullptr) {
    total_->ChangeValue(Wx(FormatDuration(state.estimate->totalSeconds)));
    remaining_->ChangeValue(Wx(FormatDuration(state.estimate->remainingSeconds)));
  }
}

void CLongWorkDlg::OnWorkEnded(const WorkOutcome& outcome) {
  JoinWorker();
  ShowProgress();  // the last report may still wait behind this call
  running_ = false;
  if (cancel_ != nullptr) cancel_->Enable();
  ShowOutcome(outcome, prompt_);
  if (ended_) ended_(outcome);
}

}  // namespace korvex
