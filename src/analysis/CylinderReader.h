#pragma once
// Reads a disk cylinder by cylinder, one large read each, on a thread of its own that stays one
// cylinder ahead of the caller: while the caller tests a cylinder, the next one is read.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "analysis/DriveSectors.h"

namespace korvex {

// One cylinder as read, with the last sectors of the cylinder before it in front, so that a
// probe can look back across the boundary without another read.
class CylinderBlock {
 public:
  CylinderBlock(std::uint32_t sectorsPerCylinder, std::uint64_t lookBehind);

  std::uint64_t First() const { return first_; }
  std::uint32_t Count() const { return count_; }
  // Whether sector lba lies in [First() - look-behind, First() + Count()).
  bool Holds(std::uint64_t lba) const { return lba + lookBehind_ >= first_ && lba < first_ + count_; }
  // Sector lba when the block holds it and it was read; else empty.
  std::span<const std::uint8_t> Sector(std::uint64_t lba) const;
  // The sectors of this cylinder that could not be read, as runs.
  const std::vector<SectorRun>& Unreadable() const { return unreadable_; }

 private:
  friend class CylinderReader;
  void Fill(DriveSectors& sectors, std::uint64_t first, std::uint32_t count);
  // Takes over the last look-behind sectors of the cylinder before.
  void Follow(const CylinderBlock& before);

  std::uint64_t lookBehind_;
  std::uint64_t first_ = 0;
  std::uint32_t count_ = 0;
  std::vector<std::uint8_t> bytes_;  // look-behind sectors, then the cylinder
  std::vector<bool> readable_;       // one flag per sector of bytes_
  std::vector<SectorRun> unreadable_;
};

class CylinderReader {
 public:
  // Cylinders of sectorsPerCylinder (the last one may be shorter) up to totalSectors.
  CylinderReader(DriveSectors& sectors, std::uint64_t totalSectors, std::uint32_t sectorsPerCylinder);
  // Stops the reading thread, also in the middle of the disk.
  ~CylinderReader();
  CylinderReader(const CylinderReader&) = delete;
  CylinderReader& operator=(const CylinderReader&) = delete;

  // The next cylinder in disk order, once it is read; nothing after the last. The block stays
  // valid until the next call.
  const CylinderBlock* Next();

 private:
  void ReadAhead(std::stop_token stop);

  DriveSectors& sectors_;
  std::uint64_t totalSectors_;
  std::uint32_t sectorsPerCylinder_;
  std::uint64_t cylinderCount_;
  CylinderBlock blocks_[2];
  bool filled_[2] = {false, false};  // guarded by mutex_
  std::uint64_t handedOut_ = 0;      // cylinders given to the caller so far
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::jthread thread_;  // last, so that it starts after everything it uses exists
};

}  // namespace korvex
