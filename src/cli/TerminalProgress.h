#pragma once
// Long work on a terminal: a progress bar with the estimate on stderr (only when stderr is a
// terminal, so scripts get clean output), and Ctrl-C (SIGTERM, SIGHUP) raising the run's stop
// flag instead of ending the program, so the work stops at the next block like a dialog's cancel.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/LongWork.h"

namespace korvex {

class TerminalProgress final : public IProgressSink {
 public:
  explicit TerminalProgress(std::FILE* output = stderr);
  ~TerminalProgress() override;  // ends the bar's line

  void SetRange(std::uint64_t range) override;
  void SetPosition(std::uint64_t position) override;
  void SetStatus(const std::string& text) override;
  void SetEstimate(const TimeEstimate& estimate) override;

 private:
  void Draw();

  std::FILE* output_;
  bool enabled_;
  bool drawn_ = false;
  std::uint64_t range_ = 0;
  std::uint64_t position_ = 0;
  std::string status_;
  TimeEstimate estimate_;
};

// While it lives, SIGINT (Ctrl-C), SIGTERM and SIGHUP raise flag (the same signal a second time
// ends the program as usual).
class InterruptRaisesStop {
 public:
  explicit InterruptRaisesStop(StopFlag& flag);
  ~InterruptRaisesStop();
  InterruptRaisesStop(const InterruptRaisesStop&) = delete;
  InterruptRaisesStop& operator=(const InterruptRaisesStop&) = delete;

 private:
  std::vector<int> guarded_;  // the signals whose handler this guard set
};

}  // namespace korvex
