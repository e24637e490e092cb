// The block pipeline: order, the bound on buffers, and which failure ends a run.
#include "image/BlockPipeline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <set>
#include <thread>

namespace korvex {
namespace {

void Pause(std::uint32_t index) { std::this_thread::sleep_for(std::chrono::microseconds(300 * ((index * 7) % 5))); }

TEST(BlockPipeline, BlocksReachTheWriterInOrderAndNeverMoreThanTwoNPlusTwoBuffersExist) {
  constexpr unsigned kWorkers = 3;
  constexpr std::uint32_t kBlocks = 60;
  std::mutex mutex;
  std::set<const std::uint8_t*> buffers;
  std::uint32_t read = 0, written = 0, mostAhead = 0;
  std::vector<std::uint32_t> order;
  PipelineStages stages;
  stages.read = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    block.size = 4;
    block.buffer[0] = static_cast<std::uint8_t>(block.index);
    std::lock_guard lock(mutex);
    buffers.insert(block.buffer.data());
    mostAhead = std::max(mostAhead, ++read - written);
    return std::nullopt;
  };
  // Workers finish out of order; the result is taken to the block's scratch buffer.
  stages.transform = [&](PipelineBlock& block, std::vector<std::uint8_t>& scratch) -> std::optional<WorkOutcome> {
    Pause(block.index);
    scratch[0] = static_cast<std::uint8_t>(block.buffer[0] + 1);
    std::swap(block.buffer, scratch);
    std::lock_guard lock(mutex);
    buffers.insert(block.buffer.data());
    return std::nullopt;
  };
  stages.write = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    std::lock_guard lock(mutex);
    order.push_back(block.buffer[0]);
    ++written;
    return std::nullopt;
  };
  StopFlag stop;
  EXPECT_EQ(RunBlockPipeline({kBlocks, 16, kWorkers}, stages, stop), std::nullopt);
  std::vector<std::uint32_t> expected;
  for (std::uint32_t i = 0; i < kBlocks; ++i) expected.push_back(i + 1);
  EXPECT_EQ(order, expected);
  EXPECT_LE(buffers.size(), 2 * kWorkers + 2);
  EXPECT_LE(mostAhead, kWorkers + 2);
}

TEST(BlockPipeline, TheFirstFailureInBlockOrderEndsTheRunWithTheBlocksBeforeItWritten) {
  std::vector<std::uint32_t> written;
  PipelineStages stages;
  stages.read = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    block.size = 1;
    if (block.index == 9) return WorkOutcome::Failed("read 9");
    return std::nullopt;
  };
  // Block 6 fails at once, block 3 only after a while: block 3's failure is the one reported.
  stages.transform = [&](PipelineBlock& block, std::vector<std::uint8_t>&) -> std::optional<WorkOutcome> {
    if (block.index == 3) {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      return WorkOutcome::Failed("transform 3");
    }
    if (block.index == 6) return WorkOutcome::Failed("transform 6");
    return std::nullopt;
  };
  stages.write = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    written.push_back(block.index);
    return std::nullopt;
  };
  StopFlag stop;
  const auto first = RunBlockPipeline({20, 8, 4}, stages, stop);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->text, "transform 3");
  EXPECT_EQ(written, (std::vector<std::uint32_t>{0, 1, 2}));

  // Without the transform failures the reader's failure ends the run at block 9.
  written.clear();
  stages.transform = nullptr;
  const auto read = RunBlockPipeline({20, 8, 4}, stages, stop);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->text, "read 9");
  EXPECT_EQ(written.size(), 9u);
}

}  // namespace
}  // namespace korvex
