#pragma once
// The base of every dialog that runs long work (an image, a restore, the disk analysis): the
// work runs on a worker thread of its own with a stop flag; what it reports reaches the dialog's
// controls only through CallAfter on the window's thread, and only while the dialog exists, so
// no worker ever touches a window. While the work runs, "Abbrechen", Escape and the window
// manager's close button all ask "Wollen Sie den Vorgang wirklich abbrechen?" instead of closing.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <wx/dialog.h>

#include "platform/LongWork.h"
#include "platform/Prompt.h"

class wxButton;
class wxGauge;
class wxSizer;
class wxTextCtrl;

namespace korvex {

class CLongWorkDlg : public wxDialog {
 public:
  using Work = std::function<WorkOutcome(IProgressSink& progress, const StopFlag& stop)>;
  using WorkEnded = std::function<void(const WorkOutcome& outcome)>;

  ~CLongWorkDlg() override;

  // True from the start of the work until its end has reached the dialog.
  bool Running() const { return running_; }
  // Asks whether to stop the running work; Yes raises the stop flag.
  void AskToStop();
  // The progress bar's value and range.
  wxGauge& progressBar() const { return *gauge_; }
  wxButton& cancelButton() const { return *cancel_; }
  // The estimate fields; nothing when the dialog shows none.
  wxTextCtrl* totalTimeField() const { return total_; }
  wxTextCtrl* remainingTimeField() const { return remaining_; }
  wxTextCtrl* statusField() const { return status_; }

 protected:
  // disableCancelWhenAsked: "Abbrechen" stays greyed after the question, whatever the answer,
  // until the work ends.
  CLongWorkDlg(wxWindow* parent, const std::string& title, CPrompt& prompt, bool disableCancelWhenAsked);

  // What the group "Status" shows besides the progress bar: the estimate, a status line, or both.
  enum class StatusKind { Estimate, StatusLine, StatusLineAndEstimate };
  // Lays the dialog out: sections one below the other and the group "Status" under them on the
  // left; on the right the start button, "Abbrechen" (which closes the dialog when no work
  // runs), and after a gap the buttons of more.
  void LayOut(const std::vector<wxSizer*>& sections, StatusKind status, wxButton* start,
              const std::vector<wxButton*>& more = {});

  // Starts work on the worker thread; ended runs on the window's thread with the work's outcome
  // after the outcome's text was shown.
  void StartWork(Work work, WorkEnded ended);
  // For the worker: runs call on the window's thread, unless the dialog is gone by then.
  void PostToWindow(std::function<void()> call);

  CPrompt& prompt() { return prompt_; }

 private:
  // Hands a worker's calls to the window while the dialog lives; the dialog cuts it off before
  // it goes.
  struct Mailbox {
    std::mutex lock;
    wxEvtHandler* target = nullptr;
  };
  class Progress;

  wxSizer* CreateStatusGroup(StatusKind status);
  void OnWorkEnded(const WorkOutcome& outcome);
  void ShowProgress();
  void JoinWorker();

  CPrompt& prompt_;
  bool disableCancelWhenAsked_;
  std::shared_ptr<Mailbox> mailbox_;
  std::unique_ptr<Progress> progress_;
  StopFlag stop_;
  std::thread worker_;
  bool running_ = false;
  WorkEnded ended_;
  wxGauge* gauge_ = nullptr;
  wxTextCtrl* total_ = nullptr;
  wxTextCtrl* remaining_ = nullptr;
  wxTextCtrl* status_ = nullptr;
  wxButton* cancel_ = nullptr;
};

}  // namespace korvex
