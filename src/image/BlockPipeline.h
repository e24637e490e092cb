#pragma once
// Long work over a sequence of blocks in three stages: one reader thread fills blocks in
// order, N worker threads transform them side by side, and the calling thread writes them in
// block order; a fourth, optional stage may follow the writer on a thread of its own. At most
// N + 2 blocks are in flight and each worker keeps one scratch buffer, so the run never holds
// more than 2 × N + 2 buffers, and N is cut down until those fit into kPipelineMemory. Because
// every block is transformed on its own, N workers give the same output as one.
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <vector>

#include "platform/LongWork.h"

namespace korvex {

// The most memory the buffers of one run may take: 256 MiB, (2 × N + 2) × buffer bytes. With
// the largest compressed cylinder of a usual geometry (255 heads × 63 sectors, 8.3 MB) that
// leaves 15 workers; with the largest any geometry has (255 × 255 sectors, 33.6 MB), 2.
inline constexpr std::size_t kPipelineMemory = std::size_t{256} << 20;

// Allocates on a page boundary and without initialising. The system copies a file's cached
// pages into a page-aligned buffer at more than twice the speed it copies them a few bytes off
// a page (where a large allocation otherwise starts, after the allocator's own header). And
// every stage fills a buffer before anything reads it, while zeroing the buffers up front would
// touch every page of memory a run may need, also for a damaged image that fails at its first
// block.
inline constexpr std::size_t kBlockBufferAlignment = 4096;
template <typename T>
struct BlockAllocator {
  using value_type = T;
  BlockAllocator() = default;
  template <typename U>
  BlockAllocator(const BlockAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    return static_cast<T*>(::operator new(n * sizeof(T), std::align_val_t{kBlockBufferAlignment}));
  }
  void deallocate(T* p, std::size_t) noexcept { ::operator delete(p, std::align_val_t{kBlockBufferAlignment}); }
  template <typename U>
  void construct(U* place) noexcept {
    ::new (static_cast<void*>(place)) U;
  }
  template <typename U>
  bool operator==(const BlockAllocator<U>&) const noexcept {
    return true;
  }
};
using BlockBuffer = std::vector<std::uint8_t, BlockAllocator<std::uint8_t>>;

struct PipelineBlock {
  std::uint32_t index = 0;
  BlockBuffer buffer;     // its capacity is fixed for the run; never resized
  std::size_t size = 0;   // bytes of buffer that hold the block's data

  std::span<std::uint8_t> Data() { return {buffer.data(), size}; }
  std::span<const std::uint8_t> Data() const { return {buffer.data(), size}; }
};

// Each stage returns a failure, which ends the run once the writer reaches that block, or
// nothing. read and write run on one thread each; transform runs on the workers at once.
struct PipelineStages {
  std::function<std::optional<WorkOutcome>(PipelineBlock& block)> read;
  // May swap block.buffer with scratch (a buffer of the same capacity). Empty: blocks pass
  // unchanged through one worker, which keeps no scratch buffer.
  std::function<std::optional<WorkOutcome>(PipelineBlock& block, BlockBuffer& scratch)> transform;
  std::function<std::optional<WorkOutcome>(PipelineBlock& block)> write;
  // Optional: runs on the calling thread once the reader and the workers have started and
  // before the first write; a failure it returns ends the run with nothing written. Long work
  // that must end before anything is written (a check of the whole input) so runs while the
  // first blocks are read and transformed.
  std::function<std::optional<WorkOutcome>()> beforeWriting;
  // Optional: sees every block that reaches the writer, in block order, on a thread of its own
  // and at the same time as write, so that a slow look at the data (a checksum) does not hold
  // up the writer. With it, write must leave the block as it is. A block's buffer is reused
  // once both are done with it. It cannot fail, and it misses the blocks after a failure or a
  // stop; after a run without either, it has seen every block.
  std::function<void(const PipelineBlock& block)> alongside;
};

struct PipelineShape {
  std::uint32_t blockCount = 0;
  std::size_t bufferBytes = 0;
  unsigned workers = 1;
};

// Reports a run's position and estimate to a sink as its units (sectors) are done.
class RunProgress {
 public:
  RunProgress(IProgressSink& sink, std::uint64_t range) : sink_(sink), range_(range) { sink.SetRange(range); }
  void Advance(std::uint64_t units) {
    done_ += units;
    sink_.SetPosition(done_);
    sink_.SetEstimate(clock_.Estimate(done_, range_));
  }

 private:
  IProgressSink& sink_;
  std::uint64_t range_;
  std::uint64_t done_ = 0;
  RunClock clock_;
};

// The machine's hardware threads for 0, else requested.
unsigned ResolveWorkerCount(unsigned requested);

// The workers of a run with buffers of bufferBytes: requested, cut down so that the run's
// 2 × N + 2 buffers fit into kPipelineMemory, and never fewer than one.
unsigned WorkersWithinMemory(unsigned requested, std::size_t bufferBytes);

// Runs the stages over blocks 0 .. blockCount − 1 with WorkersWithinMemory workers. Returns
// nothing when every block was written, else the first failure in block order (blocks before
// it are written, none after it), or Cancelled("") when stop was raised by the end of a block
// that was not the last.
std::optional<WorkOutcome> RunBlockPipeline(const PipelineShape& shape, const PipelineStages& stages,
                                            const StopFlag& stop);

}  // namespace korvex
