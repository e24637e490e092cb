#include "platform/LongWork.h"

#include <algorithm>
#include <cmath>

#include "platform/StringFormat.h"

namespace korvex {

std::string FormatDuration(double seconds) {
  const auto whole = static_cast<std::uint64_t>(std::max(0.0, std::floor(seconds)));
  return StrFormat("%d:%2.2d:%2.2d", static_cast<int>(whole / 3600), static_cast<int>(whole / 60 % 60),
                   static_cast<int>(whole % 60));
}

TimeEstimate RunClock::EstimateFrom(double elapsedSeconds, std::uint64_t done, std::uint64_t range) {
  if (done == 0) return {elapsedSeconds, 0};
  const double remaining =
      done >= range ? 0 : elapsedSeconds * static_cast<double>(range - done) / static_cast<double>(done);
  return {elapsedSeconds + remaining, remaining};
}

void ShowOutcome(const WorkOutcome& outcome, CPrompt& prompt) {
  if (!outcome.text.empty()) prompt.Message(outcome.text, outcome.icon);
}

std::optional<WorkOutcome> RunInBlocks(std::uint64_t range, std::uint64_t blockSize, const BlockStep& step,
                                       IProgressSink& progress, const StopFlag& stop) {
  blockSize = std::max<std::uint64_t>(blockSize, 1);
  const RunClock clock;
  progress.SetRange(range);
  for (std::uint64_t done = 0; done < range;) {
    const std::uint64_t count = std::min(blockSize, range - done);
    if (auto failure = step(done, count)) return failure;
    done += count;
    progress.SetPosition(done);
    progress.SetEstimate(clock.Estimate(done, range));
    if (done < range && stop.Requested()) return WorkOutcome::Cancelled("");
  }
  return std::nullopt;
}

}  // namespace korvex
