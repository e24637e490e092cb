#include "analysis/CylinderReader.h"

#include <algorithm>

namespace korvex {

CylinderBlock::CylinderBlock(std::uint32_t sectorsPerCylinder, std::uint64_t lookBehind)
    : lookBehind_(lookBehind),
      bytes_((lookBehind + sectorsPerCylinder) * kSectorSize),
      readable_(lookBehind + sectorsPerCylinder, false) {}

std::span<const std::uint8_t> CylinderBlock::Sector(std::uint64_t lba) const {
  if (!Holds(lba)) return {};
  const std::size_t index = lba + lookBehind_ - first_;
  if (!readable_[index]) return {};
  return std::span<const std::uint8_t>(bytes_).subspan(index * kSectorSize, kSectorSize);
}

void CylinderBlock::Fill(DriveSectors& sectors, std::uint64_t first, std::uint32_t count) {
  first_ = first;
  count_ = count;
  unreadable_.clear();
  const auto cylinder = std::span<std::uint8_t>(bytes_).subspan(lookBehind_ * kSectorSize, std::size_t{count} * kSectorSize);
  sectors.ReadRun(first, count, cylinder, unreadable_);
  std::fill(readable_.begin() + static_cast<std::ptrdiff_t>(lookBehind_), readable_.end(), true);
  for (const SectorRun& run : unreadable_) {
    const auto from = readable_.begin() + static_cast<std::ptrdiff_t>(lookBehind_ + run.first - first);
    std::fill(from, from + static_cast<std::ptrdiff_t>(run.count), false);
  }
}

void CylinderBlock::Follow(const CylinderBlock& before) {
  std::fill(readable_.begin(), readable_.begin() + static_cast<std::ptrdiff_t>(lookBehind_), false);
  for (std::uint64_t k = 1; k <= lookBehind_ && k <= first_; ++k) {
    const std::uint64_t lba = first_ - k;
    const auto sector = before.Sector(lba);
    if (sector.empty()) continue;
    const std::size_t index = lookBehind_ - k;
    std::copy(sector.begin(), sector.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(index * kSectorSize));
    readable_[index] = true;
  }
}

CylinderReader::CylinderReader(DriveSectors& sectors, std::uint64_t totalSectors, std::uint32_t sectorsPerCylinder)
    : sectors_(sectors),
      totalSectors_(totalSectors),
      sectorsPerCylinder_(sectorsPerCylinder),
      cylinderCount_((totalSectors + sectorsPerCylinder - 1) / sectorsPerCylinder),
      blocks_{CylinderBlock(sectorsPerCylinder, kMaxLookBehind), CylinderBlock(sectorsPerCylinder, kMaxLookBehind)},
      thread_([this](std::stop_token stop) { ReadAhead(stop); }) {}

CylinderReader::~CylinderReader() {
  thread_.request_stop();
  changed_.notify_all();
}

void CylinderReader::ReadAhead(std::stop_token stop) {
  for (std::uint64_t k = 0; k < cylinderCount_; ++k) {
    const std::size_t slot = k % 2;
    {
      std::unique_lock lock(mutex_);
      // The slot is free once the caller has moved past the cylinder it held two steps ago.
      if (!changed_.wait(lock, stop, [&] { return !filled_[slot]; })) return;
    }
    const std::uint64_t first = k * sectorsPerCylinder_;
    blocks_[slot].Fill(sectors_, first,
                       static_cast<std::uint32_t>(std::min<std::uint64_t>(sectorsPerCylinder_, totalSectors_ - first)));
    {
      std::lock_guard lock(mutex_);
      filled_[slot] = true;
    }
    changed_.notify_all();
  }
}

const CylinderBlock* CylinderReader::Next() {
  if (handedOut_ >= cylinderCount_) return nullptr;
  const std::size_t slot = handedOut_ % 2;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return filled_[slot]; });
  if (handedOut_ > 0) {
    blocks_[slot].Follow(blocks_[1 - slot]);
    filled_[1 - slot] = false;  // the reader may now read the cylinder after this one into it
  }
  ++handedOut_;
  lock.unlock();
  changed_.notify_all();
  return &blocks_[slot];
}

}  // namespace korvex
