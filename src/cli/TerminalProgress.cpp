#include "cli/TerminalProgress.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace korvex {
namespace {

constexpr int kBarWidth = 30;

StopFlag* gInterruptFlag = nullptr;  // the flag the signals raise; set only while a run is guarded
// Ctrl-C, the polite end (kill, a shutdown) and a closed terminal: each stops the run at its next
// block, so that it cleans up (a save removes its temporary files) and reports.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RaiseStopOnSignal(int signal) {
  if (gInterruptFlag != nullptr) gInterruptFlag->Request();
  std::signal(signal, SIG_DFL);  // the same signal once more ends the program
}

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* output) : output_(output), enabled_(isatty(fileno(output)) != 0) {}

TerminalProgress::~TerminalProgress() {
  if (drawn_) std::fputc('\n', output_);
}

void TerminalProgress::SetRange(std::uint64_t range) {
  range_ = range;
  Draw();
}

void TerminalProgress::SetPosition(std::uint64_t position) {
  position_ = position;
  Draw();
}

void TerminalProgress::SetStatus(const std::string& text) {
  status_ = text;
  Draw();
}

void TerminalProgress::SetEstimate(const TimeEstimate& estimate) {
  estimate_ = estimate;
  Draw();
}

void TerminalProgress::Draw() {
  if (!enabled_) return;
  const double share = range_ == 0 ? 0 : static_cast<double>(std::min(position_, range_)) / static_cast<double>(range_);
  const int filled = static_cast<int>(share * kBarWidth);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(kBarWidth, '.');
  std::fprintf(output_, "\r[%s] %3d%%  Gesamtdauer %s  Restdauer %s  %s\x1b[K", bar.c_str(), static_cast<int>(share * 100),
               FormatDuration(estimate_.totalSeconds).c_str(), FormatDuration(estimate_.remainingSeconds).c_str(),
               status_.c_str());
  std::fflush(output_);
  drawn_ = true;
}

InterruptRaisesStop::InterruptRaisesStop(StopFlag& flag) {
  gInterruptFlag = &flag;
  for (const int signal : kStopSignals) {
    // A signal the program was started to ignore (nohup ignores SIGHUP) stays ignored.
    struct sigaction before {};
    if (::sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    std::signal(signal, RaiseStopOnSignal);
    guarded_.push_back(signal);
  }
}

InterruptRaisesStop::~InterruptRaisesStop() {
  for (const int signal : guarded_) std::signal(signal, SIG_DFL);
  gInterruptFlag = nullptr;
}

}  // namespace korvex
