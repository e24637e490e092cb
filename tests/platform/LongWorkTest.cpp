#include "platform/LongWork.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvex {
namespace {

// Records what a worker reports.
struct RecordingProgress final : IProgressSink {
  void SetRange(std::uint64_t r) override { range = r; }
  void SetPosition(std::uint64_t p) override { positions.push_back(p); }
  void SetStatus(const std::string&) override {}
  void SetEstimate(const TimeEstimate& e) override { estimates.push_back(e); }
  std::uint64_t range = 0;
  std::vector<std::uint64_t> positions;
  std::vector<TimeEstimate> estimates;
};

TEST(LongWork, EveryBlockInOrderAndProgressReachesTheRangeWithAShortLastBlock) {
  RecordingProgress progress;
  StopFlag stop;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> blocks;
  const auto outcome = RunInBlocks(
      25, 10, [&](std::uint64_t first, std::uint64_t count) -> std::optional<WorkOutcome> {
        blocks.emplace_back(first, count);
        return std::nullopt;
      },
      progress, stop);
  EXPECT_FALSE(outcome.has_value());
  EXPECT_EQ(blocks, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, 10}, {10, 10}, {20, 5}}));
  EXPECT_EQ(progress.range, 25u);
  EXPECT_EQ(progress.positions, (std::vector<std::uint64_t>{10, 20, 25}));
  EXPECT_EQ(progress.estimates.back().remainingSeconds, 0);
}

TEST(LongWork, AStopRequestedDuringABlockEndsTheRunAfterThatBlock) {
  RecordingProgress progress;
  StopFlag stop;
  int steps = 0;
  const auto outcome = RunInBlocks(
      100, 10, [&](std::uint64_t, std::uint64_t) -> std::optional<WorkOutcome> {
        if (++steps == 2) stop.Request();
        return std::nullopt;
      },
      progress, stop);
  ASSERT_TRUE(outcome.has_value());
  EXPECT_EQ(outcome->end, WorkEnd::Cancelled);
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(progress.positions.back(), 20u);
}

TEST(LongWork, AFailingStepEndsTheRunWithItsOutcome) {
  RecordingProgress progress;
  StopFlag stop;
  const auto outcome = RunInBlocks(
      100, 10, [&](std::uint64_t first, std::uint64_t) -> std::optional<WorkOutcome> {
        if (first == 30) return WorkOutcome::Failed("Lesefehler");
        return std::nullopt;
      },
      progress, stop);
  ASSERT_TRUE(outcome.has_value());
  EXPECT_EQ(outcome->end, WorkEnd::Failed);
  EXPECT_EQ(outcome->text, "Lesefehler");
  EXPECT_EQ(progress.positions.back(), 30u);
}

TEST(LongWork, EstimateExtrapolatesTheShareDoneWithFractionsOfSeconds) {
  // A quarter done in half a second: one and a half seconds remain.
  const TimeEstimate e = RunClock::EstimateFrom(0.5, 25, 100);
  EXPECT_DOUBLE_EQ(e.remainingSeconds, 1.5);
  EXPECT_DOUBLE_EQ(e.totalSeconds, 2.0);
  EXPECT_DOUBLE_EQ(RunClock::EstimateFrom(3, 0, 100).remainingSeconds, 0);
}

TEST(LongWork, DurationsReadHoursMinutesSecondsWithUnlimitedHours) {
  EXPECT_EQ(FormatDuration(0), "0:00:00");
  EXPECT_EQ(FormatDuration(59.9), "0:00:59");
  EXPECT_EQ(FormatDuration(3600 + 2 * 60 + 5), "1:02:05");
  EXPECT_EQ(FormatDuration(125 * 3600.0), "125:00:00");
}

}  // namespace
}  // namespace korvex
