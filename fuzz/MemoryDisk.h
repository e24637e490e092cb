#pragma once
// A disk held in memory for the fuzz targets: the input bytes are the medium (whole sectors),
// with a fixed small geometry, opened as disk 0 of a working copy.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "bootengine/LoaderRecognition.h"
#include "partition/CHardDisk.h"
#include "platform/DiskTransport.h"
#include "platform/Prompt.h"

namespace korvex::fuzz {

class MemoryTransport final : public IDiskTransport {
 public:
  explicit MemoryTransport(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  bool IsOpen() const override { return true; }
  std::optional<DiskGeometry> QueryGeometry() override {
    return DiskGeometry{static_cast<std::int64_t>(bytes_.size() / (4 * 8 * 512)), kFixedMediaType, 4, 8, 512};
  }
  std::uint64_t SizeBytes() const override { return bytes_.size(); }
  std::int32_t Read(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
    if (offset >= bytes_.size()) return 0;
    const std::size_t n = std::min<std::uint64_t>(buffer.size(), bytes_.size() - offset);
    std::memcpy(buffer.data(), bytes_.data() + offset, n);
    return static_cast<std::int32_t>(n);
  }
  std::int32_t Write(std::uint64_t offset, std::span<const std::uint8_t> buffer) override {
    // A write outside the bytes a target allows is the fault the caller fuzzes for.
    if (writable_ && (offset < writable_->first || offset + buffer.size() > writable_->second)) __builtin_trap();
    if (offset > bytes_.size() || buffer.size() > bytes_.size() - offset) return 0;
    std::memcpy(bytes_.data() + offset, buffer.data(), buffer.size());
    return static_cast<std::int32_t>(buffer.size());
  }
  bool Flush() override { return true; }
  TableReload RereadPartitionTable() override { return TableReload::NotNeeded; }
  std::string Describe() const override { return "memory"; }

  // From now on only bytes [first, end) may be written.
  void AllowWritesOnly(std::uint64_t first, std::uint64_t end) { writable_ = {first, end}; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::optional<std::pair<std::uint64_t, std::uint64_t>> writable_;
};

// Answers every question with No and forgets every message.
class SilentPrompt final : public CPrompt {
 public:
  void Message(const std::string&, PromptIcon) override {}
  PromptAnswer Ask(const std::string&, PromptButtons, PromptIcon) override { return PromptAnswer::No; }
};

// The input as a disk of whole sectors (at most maxSectors), read and parsed.
inline std::unique_ptr<CHardDisk> OpenMemoryDisk(const std::uint8_t* data, std::size_t size, std::size_t maxSectors,
                                                 CPrompt& prompt) {
  const std::size_t sectors = std::min(size / 512, maxSectors);
  std::vector<std::uint8_t> bytes(data, data + sectors * 512);
  return std::make_unique<CHardDisk>(0, std::make_unique<MemoryTransport>(std::move(bytes)), OsVersion{}, HoldsOurLoader, prompt);
}

}  // namespace korvex::fuzz
