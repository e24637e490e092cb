// The block pipeline: order, the bound on buffers, and which failure ends a run.
#include "image/BlockPipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <numeric>
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
  stages.transform = [&](PipelineBlock& block, BlockBuffer& scratch) -> std::optional<WorkOutcome> {
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
  stages.transform = [&](PipelineBlock& block, BlockBuffer&) -> std::optional<WorkOutcome> {
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

  // Without the transform failures the reader's failure ends the run at block 9, and the stage
  // alongside the writer sees nothing from there on.
  written.clear();
  stages.transform = nullptr;
  std::atomic<std::uint32_t> mostAlongside = 0;
  stages.alongside = [&](const PipelineBlock& block) {
    mostAlongside = std::max(mostAlongside.load(), block.index);
  };
  const auto read = RunBlockPipeline({20, 8, 4}, stages, stop);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->text, "read 9");
  EXPECT_EQ(written.size(), 9u);
  EXPECT_LT(mostAlongside.load(), 9u);
}

// The stage alongside the writer is slower than the writer here: it still sees every block in
// order, with the data the block was read with (its buffer is not filled anew meanwhile), and
// the run returns only after it has seen the last one.
TEST(BlockPipeline, TheStageAlongsideSeesEveryBlockInOrderBeforeItsBufferIsReused) {
  constexpr std::uint32_t kBlocks = 30;
  for (const bool transformed : {false, true}) {
    std::vector<std::uint32_t> seen;
    bool dataChanged = false;
    PipelineStages stages;
    stages.read = [](PipelineBlock& block) -> std::optional<WorkOutcome> {
      block.size = 16;
      std::fill_n(block.buffer.begin(), block.size, static_cast<std::uint8_t>(block.index));
      return std::nullopt;
    };
    if (transformed) {
      stages.transform = [](PipelineBlock& block, BlockBuffer& scratch) -> std::optional<WorkOutcome> {
        Pause(block.index);
        std::copy_n(block.buffer.begin(), block.size, scratch.begin());
        std::swap(block.buffer, scratch);
        return std::nullopt;
      };
    }
    stages.write = [](PipelineBlock&) -> std::optional<WorkOutcome> { return std::nullopt; };
    stages.alongside = [&](const PipelineBlock& block) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      for (const std::uint8_t byte : block.Data()) dataChanged |= byte != static_cast<std::uint8_t>(block.index);
      seen.push_back(block.index);
    };
    StopFlag stop;
    EXPECT_EQ(RunBlockPipeline({kBlocks, 16, 2}, stages, stop), std::nullopt);
    std::vector<std::uint32_t> expected(kBlocks);
    std::iota(expected.begin(), expected.end(), 0u);
    EXPECT_EQ(seen, expected) << transformed;
    EXPECT_FALSE(dataChanged) << transformed;
  }
}

// The work before the first write runs while blocks are read already; its failure ends the run
// with nothing written, and without one the writes follow.
TEST(BlockPipeline, TheWorkBeforeWritingOverlapsTheReadsAndItsFailureStopsEveryWrite) {
  std::mutex mutex;
  std::condition_variable blockRead;
  std::uint32_t read = 0;
  std::uint32_t written = 0;
  PipelineStages stages;
  stages.read = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    block.size = 1;
    std::lock_guard lock(mutex);
    ++read;
    blockRead.notify_all();
    return std::nullopt;
  };
  stages.write = [&](PipelineBlock&) -> std::optional<WorkOutcome> {
    ++written;
    return std::nullopt;
  };
  bool readWhileWaiting = false;
  std::optional<WorkOutcome> verdict = WorkOutcome::Failed("damaged");
  stages.beforeWriting = [&]() -> std::optional<WorkOutcome> {
    std::unique_lock lock(mutex);
    readWhileWaiting = blockRead.wait_for(lock, std::chrono::seconds(10), [&] { return read >= 3; });
    return verdict;
  };
  StopFlag stop;
  const auto refused = RunBlockPipeline({20, 8, 1}, stages, stop);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->text, "damaged");
  EXPECT_TRUE(readWhileWaiting);
  EXPECT_EQ(written, 0u);

  verdict.reset();
  EXPECT_EQ(RunBlockPipeline({20, 8, 1}, stages, stop), std::nullopt);
  EXPECT_EQ(written, 20u);
}

// Workers × buffer size is bounded: the 2 × N + 2 buffers of a run fit into kPipelineMemory,
// with one worker at least, and a small request is kept.
TEST(BlockPipeline, TheWorkersOfARunAreCutDownUntilItsBuffersFitTheMemoryBound) {
  constexpr std::size_t kLargestCylinder = 255 * 255 * 512 + 255 * 255 * 512 / 100 + 600;
  for (const std::size_t bytes : {std::size_t{16384}, std::size_t{8225280}, kLargestCylinder, kPipelineMemory}) {
    const unsigned workers = WorkersWithinMemory(64, bytes);
    EXPECT_GE(workers, 1u) << bytes;
    if (workers > 1) {
      EXPECT_LE((2 * workers + 2) * bytes, kPipelineMemory) << bytes;
    }
  }
  EXPECT_EQ(WorkersWithinMemory(64, 16384), 64u);
  EXPECT_EQ(WorkersWithinMemory(3, 8225280), 3u);
  EXPECT_EQ(WorkersWithinMemory(64, 8225280 + 8225280 / 100 + 600), 15u);
  EXPECT_EQ(WorkersWithinMemory(64, kLargestCylinder), 2u);

  // The run itself starts no more workers than that: at most 2 × 2 + 2 buffers of this size.
  std::mutex mutex;
  std::set<const std::uint8_t*> buffers;
  PipelineStages stages;
  const auto note = [&](PipelineBlock& block) {
    std::lock_guard lock(mutex);
    buffers.insert(block.buffer.data());
  };
  stages.read = [&](PipelineBlock& block) -> std::optional<WorkOutcome> {
    block.size = 1;
    note(block);
    return std::nullopt;
  };
  stages.transform = [&](PipelineBlock& block, BlockBuffer& scratch) -> std::optional<WorkOutcome> {
    Pause(block.index);
    std::swap(block.buffer, scratch);
    note(block);
    return std::nullopt;
  };
  stages.write = [](PipelineBlock&) -> std::optional<WorkOutcome> { return std::nullopt; };
  StopFlag stop;
  EXPECT_EQ(RunBlockPipeline({40, kLargestCylinder, 64}, stages, stop), std::nullopt);
  EXPECT_LE(buffers.size(), 6u);
}

}  // namespace
}  // namespace korvex
