#pragma once
// A transport that passes transfers on to an image file but fails the ones that touch chosen
// sectors, or every write after the k-th: for testing what the program does when a disk fails.
#include <memory>
#include <set>

#include "platform/DiskTransport.h"

namespace korvex::test {

class FaultyTransport final : public IDiskTransport {
 public:
  explicit FaultyTransport(std::unique_ptr<IDiskTransport> inner) : inner_(std::move(inner)) {}

  std::set<std::uint64_t> unreadableSectors;
  std::set<std::uint64_t> unwritableSectors;
  int writesBeforeFailure = -1;  // -1: no limit
  int writesDone = 0;
  std::vector<std::uint64_t> writtenSectors;  // first sector of each successful write, in order

  bool IsOpen() const override { return inner_->IsOpen(); }
  std::optional<DiskGeometry> QueryGeometry() override { return inner_->QueryGeometry(); }
  std::uint64_t SizeBytes() const override { return inner_->SizeBytes(); }
  bool Flush() override { return inner_->Flush(); }
  TableReload RereadPartitionTable() override { return inner_->RereadPartitionTable(); }
  std::string Describe() const override { return inner_->Describe(); }

  std::int32_t Read(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
    if (Touches(unreadableSectors, offset, buffer.size())) return 0;
    return inner_->Read(offset, buffer);
  }

  std::int32_t Write(std::uint64_t offset, std::span<const std::uint8_t> buffer) override {
    if (Touches(unwritableSectors, offset, buffer.size())) return 0;
    if (writesBeforeFailure >= 0 && writesDone >= writesBeforeFailure) return 0;
    ++writesDone;
    const auto written = inner_->Write(offset, buffer);
    if (written > 0) writtenSectors.push_back(offset / 512);
    return written;
  }

 private:
  static bool Touches(const std::set<std::uint64_t>& sectors, std::uint64_t offset, std::size_t size) {
    const auto first = sectors.lower_bound(offset / 512);
    return first != sectors.end() && *first < (offset + size + 511) / 512;
  }

  std::unique_ptr<IDiskTransport> inner_;
};

}  // namespace korvex::test
