#include "cli/TerminalProgress.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>

namespace korvex {
namespace {

constexpr int kBarWidth = 30;

StopFlag* gInterruptFlag = nullptr;  // the flag SIGINT raises; set only while a run is guarded

extern "C" void RaiseStopOnInterrupt(int) {
  if (gInterruptFlag != nullptr) gInterruptFlag->Request();
  std::signal(SIGINT, SIG_DFL);  // a second Ctrl-C ends the program
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
  std::signal(SIGINT, RaiseStopOnInterrupt);
}

InterruptRaisesStop::~InterruptRaisesStop() {
  std::signal(SIGINT, SIG_DFL);
  gInterruptFlag = nullptr;
}

}  // namespace korvex
