#include "analysis/CylinderReader.h"

#include <algorithm>

namespace korvex {
namespace {

constexpr std::size_t kReadAhead = 16;  // cylinders the reader may be ahead of the caller

}  // namespace

CylinderReader::CylinderReader(DriveSectors& sectors, std::uint64_t totalSectors, std::uint32_t sectorsPerCylinder)
    : sectors_(sectors),
      totalSectors_(totalSectors),
      sectorsPerCylinder_(sectorsPerCylinder),
      cylinderCount_((totalSectors + sectorsPerCylinder - 1) / sectorsPerCylinder),
      buffer_((kMaxLookBehind + sectorsPerCylinder) * kSectorSize),
      readable_(kMaxLookBehind + sectorsPerCylinder, false),
      thread_([this](std::stop_token stop) { ReadAhead(stop); }) {}

CylinderReader::~CylinderReader() {
  thread_.request_stop();
  changed_.notify_all();
}

std::optional<SectorBytes> CylinderReader::Copy(std::uint64_t lba, std::uint64_t first) const {
  const std::size_t index = lba + kMaxLookBehind - first;
  if (!readable_[index]) return std::nullopt;
  SectorBytes copy;
  std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(index * kSectorSize), kSectorSize, copy.begin());
  return copy;
}

CylinderFinds CylinderReader::ReadCylinder(std::uint64_t first, std::uint32_t count) {
  CylinderFinds finds{first, count, {}, {}, {}};
  // The last sectors of the cylinder before become the look-behind part.
  const std::size_t behind = kMaxLookBehind * kSectorSize;
  std::copy(buffer_.end() - static_cast<std::ptrdiff_t>(behind), buffer_.end(), buffer_.begin());
  std::copy(readable_.end() - kMaxLookBehind, readable_.end(), readable_.begin());
  if (first == 0) std::fill_n(readable_.begin(), kMaxLookBehind, false);

  const auto cylinder = std::span<std::uint8_t>(buffer_).subspan(behind, std::size_t{count} * kSectorSize);
  sectors_.ReadRun(first, count, cylinder, finds.unreadable);
  std::fill(readable_.begin() + kMaxLookBehind, readable_.end(), true);
  std::fill(readable_.begin() + kMaxLookBehind + count, readable_.end(), false);  // past a short last cylinder
  for (const SectorRun& run : finds.unreadable) {
    std::fill_n(readable_.begin() + static_cast<std::ptrdiff_t>(kMaxLookBehind + run.first - first), run.count, false);
  }
  // The quick test while the bytes are still in the cache, from the end of the cylinder back:
  // the read leaves its last bytes in the cache, its first ones are the likeliest to be gone.
  // An unreadable sector is zeros and never passes the test.
  for (std::uint32_t i = count; i-- > 0;) {
    if (!MayHoldHit(cylinder.subspan(std::size_t{i} * kSectorSize).first<kSectorSize>())) continue;
    const std::uint64_t lba = first + i;
    finds.candidates.push_back(lba);
    for (std::uint64_t k = std::min(lba, kMaxLookBehind) + 1; k-- > 0;) finds.nearby.try_emplace(lba - k, Copy(lba - k, first));
  }
  std::reverse(finds.candidates.begin(), finds.candidates.end());
  return finds;
}

void CylinderReader::ReadAhead(std::stop_token stop) {
  for (std::uint64_t k = 0; k < cylinderCount_; ++k) {
    const std::uint64_t first = k * sectorsPerCylinder_;
    CylinderFinds finds =
        ReadCylinder(first, static_cast<std::uint32_t>(std::min<std::uint64_t>(sectorsPerCylinder_, totalSectors_ - first)));
    std::unique_lock lock(mutex_);
    if (!changed_.wait(lock, stop, [&] { return ready_.size() < kReadAhead; })) return;
    ready_.push_back(std::move(finds));
    lock.unlock();
    changed_.notify_all();
  }
}

std::optional<CylinderFinds> CylinderReader::Next() {
  if (handedOut_ >= cylinderCount_) return std::nullopt;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return !ready_.empty(); });
  CylinderFinds finds = std::move(ready_.front());
  ready_.pop_front();
  ++handedOut_;
  lock.unlock();
  changed_.notify_all();
  return finds;
}

}  // namespace korvex
