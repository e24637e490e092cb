#include "image/BlockPipeline.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "platform/Texts.h"
#include "platform/Trace.h"

namespace korvex {
namespace {

struct Slot {
  PipelineBlock block;
  std::optional<WorkOutcome> failure;
  unsigned users = 0;  // of the writer and the stage alongside it, those not yet done with it
};

class Pipeline {
 public:
  Pipeline(const PipelineShape& shape, const PipelineStages& stages) : shape_(shape), stages_(stages) {}
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;
  ~Pipeline() { StopAndJoin(); }

  std::optional<WorkOutcome> Run(const StopFlag& stop) {
    // Without a transform the reader hands its blocks straight to the writer; the buffers are
    // counted as for one worker.
    const unsigned requested = stages_.transform ? shape_.workers : 1;
    const unsigned workers =
        std::max(1u, std::min<unsigned>(WorkersWithinMemory(requested, shape_.bufferBytes), shape_.blockCount));
    std::vector<BlockBuffer> scratch;
    try {
      // The reader may run two blocks ahead of the workers: one being read, one waiting.
      const std::size_t inFlight = std::min<std::size_t>(workers + 2, shape_.blockCount);
      for (std::size_t i = 0; i < inFlight; ++i) free_.emplace_back(shape_.bufferBytes);
      if (stages_.transform) {
        for (unsigned w = 0; w < workers; ++w) scratch.emplace_back(shape_.bufferBytes);
      }
      Trace(TraceCategory::Image, "%u Blöcke zu höchstens %zu Bytes, %u Arbeiter, %zu Puffer unterwegs",
            shape_.blockCount, shape_.bufferBytes, stages_.transform ? workers : 0u, inFlight);
      threads_.emplace_back([this] { ReadAll(); });
      for (unsigned w = 0; w < scratch.size(); ++w) {
        threads_.emplace_back([this, own = std::move(scratch[w])]() mutable { Work(own); });
      }
      if (stages_.alongside) follower_ = std::thread([this] { FollowInOrder(); });
    } catch (const std::bad_alloc&) {
      return WorkOutcome::Failed(text::kImageNoResources);
    } catch (const std::system_error&) {
      return WorkOutcome::Failed(text::kImageNoResources);
    }
    if (stages_.beforeWriting) {
      if (auto end = stages_.beforeWriting()) return end;
    }
    auto end = WriteInOrder(stop);
    // Every block is written; the stage alongside finishes the ones it has left.
    if (!end && follower_.joinable()) follower_.join();
    return end;
  }

 private:
  void ReadAll() {
    for (std::uint32_t index = 0; index < shape_.blockCount; ++index) {
      Slot slot;
      {
        std::unique_lock lock(mutex_);
        bufferFreed_.wait(lock, [&] { return abort_ || !free_.empty(); });
        if (abort_) return;
        slot.block.buffer = std::move(free_.back());
        free_.pop_back();
      }
      slot.block.index = index;
      slot.failure = stages_.read(slot.block);
      Trace(TraceCategory::Image, "Block %u gelesen: %zu Bytes%s", index, slot.block.size,
            slot.failure ? ", Fehler" : "");
      const bool last = slot.failure.has_value() || index + 1 == shape_.blockCount;
      if (!stages_.transform) {
        Deliver(std::move(slot));
      } else {
        {
          std::lock_guard lock(mutex_);
          queue_.push_back(std::move(slot));
          readingDone_ = last;
        }
        blockQueued_.notify_all();
      }
      if (last) return;
    }
  }

  void Work(BlockBuffer& scratch) {
    for (;;) {
      Slot slot;
      {
        std::unique_lock lock(mutex_);
        blockQueued_.wait(lock, [&] { return abort_ || !queue_.empty() || readingDone_; });
        if (abort_ || queue_.empty()) return;
        slot = std::move(queue_.front());
        queue_.pop_front();
      }
      if (!slot.failure && stages_.transform) {
        const std::size_t before = slot.block.size;
        slot.failure = stages_.transform(slot.block, scratch);
        Trace(TraceCategory::Image, "Block %u umgewandelt: %zu Bytes zu %zu Bytes%s", slot.block.index, before,
              slot.block.size, slot.failure ? ", Fehler" : "");
      }
      Deliver(std::move(slot));
    }
  }

  // Hands a block, read or transformed, to the writer and the stage alongside it.
  void Deliver(Slot slot) {
    slot.users = stages_.alongside ? 2 : 1;
    {
      std::lock_guard lock(mutex_);
      const std::uint32_t index = slot.block.index;
      done_.emplace(index, std::move(slot));
    }
    blockDone_.notify_all();
  }

  // The block at index, once it is there; nothing when the run was aborted meanwhile. The slot
  // stays in place (a map's nodes do not move) until every user has released it.
  Slot* WaitForBlock(std::uint32_t index) {
    std::unique_lock lock(mutex_);
    blockDone_.wait(lock, [&] { return abort_ || done_.count(index) > 0; });
    return abort_ ? nullptr : &done_.at(index);
  }

  // One user is done with the block at index; the last one frees its buffer for the reader.
  void Release(std::uint32_t index) {
    {
      std::lock_guard lock(mutex_);
      auto slot = done_.find(index);
      if (--slot->second.users > 0) return;
      free_.push_back(std::move(slot->second.block.buffer));
      done_.erase(slot);
    }
    bufferFreed_.notify_one();
  }

  void FollowInOrder() {
    for (std::uint32_t index = 0; index < shape_.blockCount; ++index) {
      const Slot* slot = WaitForBlock(index);
      // A failed block ends the run at the writer; nothing after it is looked at.
      if (slot == nullptr || slot->failure) return;
      stages_.alongside(slot->block);
      Release(index);
    }
  }

  std::optional<WorkOutcome> WriteInOrder(const StopFlag& stop) {
    for (std::uint32_t index = 0; index < shape_.blockCount; ++index) {
      // Only the writer aborts a run, so its block always comes.
      Slot& slot = *WaitForBlock(index);
      if (slot.failure) {
        Trace(TraceCategory::Image, "Block %u: Abbruch nach dem Fehler", index);
        return slot.failure;
      }
      if (auto failure = stages_.write(slot.block)) {
        Trace(TraceCategory::Image, "Block %u: Schreiben fehlgeschlagen", index);
        return failure;
      }
      Trace(TraceCategory::Image, "Block %u geschrieben: %zu Bytes", index, slot.block.size);
      Release(index);
      if (index + 1 < shape_.blockCount && stop.Requested()) {
        Trace(TraceCategory::Image, "nach Block %u abgebrochen", index);
        return WorkOutcome::Cancelled("");
      }
    }
    return std::nullopt;
  }

  void StopAndJoin() {
    {
      std::lock_guard lock(mutex_);
      abort_ = true;
    }
    bufferFreed_.notify_all();
    blockQueued_.notify_all();
    blockDone_.notify_all();
    for (auto& thread : threads_) thread.join();
    if (follower_.joinable()) follower_.join();
  }

  const PipelineShape& shape_;
  const PipelineStages& stages_;
  std::vector<std::thread> threads_;
  std::thread follower_;  // runs the stage alongside the writer
  std::mutex mutex_;
  std::condition_variable bufferFreed_;  // the reader waits for a free buffer
  std::condition_variable blockQueued_;  // the workers wait for a block to transform
  std::condition_variable blockDone_;    // the writer and the follower wait for their next block
  std::vector<BlockBuffer> free_;
  std::deque<Slot> queue_;
  std::map<std::uint32_t, Slot> done_;
  bool readingDone_ = false;
  bool abort_ = false;
};

}  // namespace

unsigned ResolveWorkerCount(unsigned requested) {
  if (requested != 0) return requested;
  return std::max(1u, std::thread::hardware_concurrency());
}

unsigned WorkersWithinMemory(unsigned requested, std::size_t bufferBytes) {
  const std::size_t buffers = kPipelineMemory / std::max<std::size_t>(bufferBytes, 1);
  const std::size_t fitting = buffers > 2 ? (buffers - 2) / 2 : 0;
  return static_cast<unsigned>(std::clamp<std::size_t>(fitting, 1, std::max(requested, 1u)));
}

std::optional<WorkOutcome> RunBlockPipeline(const PipelineShape& shape, const PipelineStages& stages,
                                            const StopFlag& stop) {
  if (shape.blockCount == 0) return std::nullopt;
  Pipeline pipeline(shape, stages);
  return pipeline.Run(stop);
}

}  // namespace korvex
