#pragma once
// Reads a disk cylinder by cylinder, one large read each (or, where the system can show the
// medium in memory, none: the sectors are tested where they lie), on a thread of its own that
// runs ahead of the caller. The thread gives every sector the quick test and keeps copies of the
// few that pass (with the sectors their probes look back at); the caller classifies those,
// reports and talks to the front end, and the disk keeps streaming meanwhile. Only one cylinder
// buffer exists, as with a plain read loop.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "analysis/DriveSectors.h"

namespace korvex {

// What one cylinder held for the search.
struct CylinderFinds {
  std::uint64_t first = 0;
  std::uint32_t count = 0;
  std::vector<SectorRun> unreadable;
  std::vector<std::uint64_t> candidates;  // sectors that passed the quick test, in disk order
  // Each candidate and the kMaxLookBehind sectors before it (also across the cylinder's start);
  // nothing for one that could not be read.
  std::map<std::uint64_t, std::optional<SectorBytes>> nearby;
};

class CylinderReader {
 public:
  // Cylinders of sectorsPerCylinder (the last one may be shorter) up to totalSectors.
  CylinderReader(DriveSectors& sectors, std::uint64_t totalSectors, std::uint32_t sectorsPerCylinder);
  // Stops the reading thread, also in the middle of the disk.
  ~CylinderReader();
  CylinderReader(const CylinderReader&) = delete;
  CylinderReader& operator=(const CylinderReader&) = delete;

  // The next cylinder in disk order, once it is read; nothing after the last.
  std::optional<CylinderFinds> Next();

 private:
  void ReadAhead(std::stop_token stop);
  CylinderFinds ReadCylinder(std::uint64_t first, std::uint32_t count);
  std::optional<SectorBytes> Copy(std::uint64_t lba, std::uint64_t first) const;

  DriveSectors& sectors_;
  std::uint64_t totalSectors_;
  std::uint32_t sectorsPerCylinder_;
  std::uint64_t cylinderCount_;
  std::uint64_t handedOut_ = 0;
  struct FreeBytes {
    void operator()(std::uint8_t* bytes) const;
  };
  // The reading thread's own: look-behind sectors of the cylinder before, then the cylinder,
  // which begins on a page of storage_: the system copies out of its cache into page-aligned
  // memory at full speed, into memory a few bytes off a page (where a vector's bytes begin) at
  // less than half of it.
  std::unique_ptr<std::uint8_t, FreeBytes> storage_;
  std::span<std::uint8_t> buffer_;
  std::vector<bool> readable_;
  std::vector<std::uint32_t> found_;  // the sectors of a cylinder that passed the quick test
  // Cylinders read and not yet taken, at most kReadAhead of them.
  std::deque<CylinderFinds> ready_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::jthread thread_;  // last, so that it starts after everything it uses exists
};

}  // namespace korvex
