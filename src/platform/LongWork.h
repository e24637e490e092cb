#pragma once
// Long work (imaging, restoring, scanning a disk): a plain function that reports through a
// progress sink, stops at the next block once its stop flag is raised, and never asks the user.
// It returns an outcome; the front end (a dialog, a terminal) shows it.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/Prompt.h"

namespace korvex {

// Raised by the front end (a dialog's cancel, Ctrl-C on a terminal), read by the worker once per
// block. A lock-free atomic, so a signal handler may raise it.
class StopFlag {
 public:
  void Request() noexcept { requested_.store(true, std::memory_order_relaxed); }
  void Reset() noexcept { requested_.store(false, std::memory_order_relaxed); }
  bool Requested() const noexcept { return requested_.load(std::memory_order_relaxed); }

 private:
  std::atomic<bool> requested_{false};
  static_assert(std::atomic<bool>::is_always_lock_free);
};

// Estimated total and remaining duration of a run, in seconds.
struct TimeEstimate {
  double totalSeconds = 0;
  double remainingSeconds = 0;
};

// "%d:%2.2d:%2.2d": hours (not limited), minutes and seconds; fractions are dropped.
std::string FormatDuration(double seconds);

// Where a worker reports. Called on the worker's thread: a window front end must hand every
// call over to its own thread.
class IProgressSink {
 public:
  virtual ~IProgressSink() = default;
  virtual void SetRange(std::uint64_t range) = 0;
  virtual void SetPosition(std::uint64_t position) = 0;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetEstimate(const TimeEstimate& estimate) = 0;
};

// A sink that drops every report (for callers that want none).
class NullProgress final : public IProgressSink {
 public:
  void SetRange(std::uint64_t) override {}
  void SetPosition(std::uint64_t) override {}
  void SetStatus(const std::string&) override {}
  void SetEstimate(const TimeEstimate&) override {}
};

// Measures a run on a monotonic clock with fractional seconds and extrapolates from the share
// done: remaining = elapsed × (range − done) / done.
class RunClock {
 public:
  using Clock = std::chrono::steady_clock;
  RunClock() : start_(Clock::now()) {}
  double ElapsedSeconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }
  TimeEstimate Estimate(std::uint64_t done, std::uint64_t range) const { return EstimateFrom(ElapsedSeconds(), done, range); }
  // The same rule for a given elapsed time; nothing is extrapolated before anything is done.
  static TimeEstimate EstimateFrom(double elapsedSeconds, std::uint64_t done, std::uint64_t range);

 private:
  Clock::time_point start_;
};

// How a run ended, and what the front end tells the user about it. An empty text shows nothing
// (a cancelled restore ends silently).
enum class WorkEnd { Done, Cancelled, Failed };
struct WorkOutcome {
  WorkEnd end = WorkEnd::Done;
  std::string text;
  PromptIcon icon = PromptIcon::Information;

  bool Succeeded() const { return end == WorkEnd::Done; }
  static WorkOutcome Done(std::string text) { return {WorkEnd::Done, std::move(text), PromptIcon::Information}; }
  static WorkOutcome Cancelled(std::string text) { return {WorkEnd::Cancelled, std::move(text), PromptIcon::Stop}; }
  static WorkOutcome Failed(std::string text) { return {WorkEnd::Failed, std::move(text), PromptIcon::Stop}; }
};

// Shows an outcome through the prompt, when it has a text.
void ShowOutcome(const WorkOutcome& outcome, CPrompt& prompt);

// The simplest long work: [0, range) in blocks of at most blockSize units, one call of step per
// block in order. After each block it reports the position and the estimate, then checks the
// stop flag, so a stop takes effect at the end of the current block. A step that fails ends the
// run with its outcome. Returns nothing when every block was done, else how the run ended.
using BlockStep = std::function<std::optional<WorkOutcome>(std::uint64_t first, std::uint64_t count)>;
std::optional<WorkOutcome> RunInBlocks(std::uint64_t range, std::uint64_t blockSize, const BlockStep& step,
                                       IProgressSink& progress, const StopFlag& stop);

}  // namespace korvex
