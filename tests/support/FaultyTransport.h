#pragma once
// A transport that passes transfers on to an image file but fails the ones that touch chosen
// sectors, the k-th read or write, or the reservation of space: for testing what the program
// does when a disk fails. A failing write either moves nothing (EIO) or, like a full file
// system, stores the whole sectors of its first half and reports that short count (ENOSPC).
#include <cerrno>
#include <memory>
#include <set>
#include <vector>

#include "platform/DiskTransport.h"

namespace korvex::test {

class FaultyTransport final : public IDiskTransport {
 public:
  explicit FaultyTransport(std::unique_ptr<IDiskTransport> inner) : inner_(std::move(inner)) {}

  std::set<std::uint64_t> unreadableSectors;
  std::set<std::uint64_t> unwritableSectors;
  int readsBeforeFailure = -1;   // -1: no limit; k: reads 0..k-1 pass, read k fails
  int writesBeforeFailure = -1;  // the same for writes
  bool shortWrites = false;      // a failing write stores its first half and reports ENOSPC
  bool reserveFails = false;     // no space can be reserved (ENOSPC)
  bool readOnly = false;         // opened for reading only
  bool blockDevice = false;      // stands for a block device of this machine
  bool flushFails = false;       // the flush after writing fails
  int writeError = 0;            // the error a failing write reports (0: EIO, or ENOSPC for a short one)
  bool startsPrograms = false;   // claims that every transfer starts a program, as the sector helper does
  int readsDone = 0;
  int writesDone = 0;
  std::vector<std::uint64_t> writtenSectors;  // first sector of each successful write, in order

  bool IsOpen() const override { return inner_->IsOpen(); }
  std::optional<DiskGeometry> QueryGeometry() override { return inner_->QueryGeometry(); }
  std::uint64_t SizeBytes() const override { return inner_->SizeBytes(); }
  bool Flush() override { return !flushFails && inner_->Flush(); }
  TableReload RereadPartitionTable() override { return inner_->RereadPartitionTable(); }
  std::string Describe() const override { return inner_->Describe(); }
  int LastErrorNumber() const override { return error_; }
  bool IsReadOnly() const override { return readOnly; }
  bool IsBlockDevice() const override { return blockDevice; }
  std::optional<FileIdentity> Identity() const override { return inner_->Identity(); }
  bool TransfersStartAProgram() const override { return startsPrograms; }

  bool Reserve(std::uint64_t offset, std::uint64_t length) override {
    error_ = reserveFails ? ENOSPC : 0;
    return !reserveFails && inner_->Reserve(offset, length);
  }

  std::int32_t Read(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
    error_ = 0;
    const bool fails = Touches(unreadableSectors, offset, buffer.size()) ||
                       (readsBeforeFailure >= 0 && readsDone >= readsBeforeFailure);
    ++readsDone;
    if (fails) {
      error_ = EIO;
      return 0;
    }
    return inner_->Read(offset, buffer);
  }

  std::int32_t Write(std::uint64_t offset, std::span<const std::uint8_t> buffer) override {
    error_ = 0;
    const bool fails = Touches(unwritableSectors, offset, buffer.size()) ||
                       (writesBeforeFailure >= 0 && writesDone >= writesBeforeFailure);
    ++writesDone;
    if (fails) {
      error_ = writeError != 0 ? writeError : shortWrites ? ENOSPC : EIO;
      const std::size_t stored = shortWrites ? buffer.size() / 2 / 512 * 512 : 0;
      return stored == 0 ? 0 : inner_->Write(offset, buffer.first(stored));
    }
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
  int error_ = 0;
};

}  // namespace korvex::test
