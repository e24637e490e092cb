#include "analysis/CylinderReader.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace korvex {
namespace {

constexpr std::size_t kReadAhead = 16;  // cylinders the reader may be ahead of the caller
constexpr std::size_t kPageBytes = 4096;
constexpr std::size_t kBehindBytes = kMaxLookBehind * kSectorSize;
static_assert(kBehindBytes <= kPageBytes);

// Storage for the look-behind sectors and a cylinder of bytes, the cylinder on a page.
std::uint8_t* AllocateBuffer(std::size_t cylinderBytes) {
  const std::size_t bytes = (kPageBytes + cylinderBytes + kPageBytes - 1) / kPageBytes * kPageBytes;
  auto* storage = static_cast<std::uint8_t*>(std::aligned_alloc(kPageBytes, bytes));
  if (storage == nullptr) throw std::bad_alloc();
  return storage;
}

// The sectors of a cylinder (count of them) that pass the quick test, from the last to the
// first, into found, which has room for all of them (so that nothing is allocated).
void FindCandidates(std::span<const std::uint8_t> sectors, std::uint32_t count, std::vector<std::uint32_t>& found) {
  for (std::uint32_t i = count; i-- > 0;) {
    if (MayHoldHit(sectors.subspan(std::size_t{i} * kSectorSize).first<kSectorSize>())) found.push_back(i);
  }
}

}  // namespace

void CylinderReader::FreeBytes::operator()(std::uint8_t* bytes) const { std::free(bytes); }

CylinderReader::CylinderReader(DriveSectors& sectors, std::uint64_t totalSectors, std::uint32_t sectorsPerCylinder)
    : sectors_(sectors),
      totalSectors_(totalSectors),
      sectorsPerCylinder_(sectorsPerCylinder),
      cylinderCount_((totalSectors + sectorsPerCylinder - 1) / sectorsPerCylinder),
      storage_(AllocateBuffer(std::size_t{sectorsPerCylinder} * kSectorSize)),
      buffer_(storage_.get() + kPageBytes - kBehindBytes, kBehindBytes + std::size_t{sectorsPerCylinder} * kSectorSize),
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
  std::copy(buffer_.end() - static_cast<std::ptrdiff_t>(kBehindBytes), buffer_.end(), buffer_.begin());
  std::copy(readable_.end() - kMaxLookBehind, readable_.end(), readable_.begin());
  if (first == 0) std::fill_n(readable_.begin(), kMaxLookBehind, false);

  // Where the system can show the medium in memory, the quick test runs on its own cache pages
  // and only the sectors the probes look at (and the next look-behind part) are copied: the
  // whole cylinder is not. Else the cylinder is read, and tested while its bytes are fresh in the
  // cache, from its end back (the read leaves its last bytes in the cache, its first ones are the
  // likeliest to be gone); an unreadable sector is zeros and never passes the test.
  const auto cylinder = buffer_.subspan(kBehindBytes, std::size_t{count} * kSectorSize);
  found_.clear();
  const bool inPlace = sectors_.LookInPlace(first, count, [&](std::span<const std::uint8_t> sectors) {
    FindCandidates(sectors, count, found_);
    const auto keep = [&](std::uint32_t from, std::uint32_t to) {
      std::copy(sectors.begin() + std::ptrdiff_t{from} * kSectorSize, sectors.begin() + std::ptrdiff_t{to} * kSectorSize,
                cylinder.begin() + std::ptrdiff_t{from} * kSectorSize);
    };
    for (const std::uint32_t i : found_) keep(i - std::min<std::uint32_t>(i, kMaxLookBehind), i + 1);
    keep(count - std::min<std::uint32_t>(count, kMaxLookBehind), count);
  });
  if (!inPlace) {
    sectors_.ReadRun(first, count, cylinder, finds.unreadable);
    found_.clear();
    FindCandidates(cylinder, count, found_);
  }
  std::fill(readable_.begin() + kMaxLookBehind, readable_.end(), true);
  std::fill(readable_.begin() + kMaxLookBehind + count, readable_.end(), false);  // past a short last cylinder
  for (const SectorRun& run : finds.unreadable) {
    std::fill_n(readable_.begin() + static_cast<std::ptrdiff_t>(kMaxLookBehind + run.first - first), run.count, false);
  }
  for (const std::uint32_t i : found_) {
    const std::uint64_t lba = first + i;
    finds.candidates.push_back(lba);
    for (std::uint64_t k = std::min(lba, kMaxLookBehind) + 1; k-- > 0;) finds.nearby.try_emplace(lba - k, Copy(lba - k, first));
  }
  std::reverse(finds.candidates.begin(), finds.candidates.end());
  return finds;
}

void CylinderReader::ReadAhead(std::stop_token stop) {
  found_.reserve(sectorsPerCylinder_);  // room for every sector: the test in place allocates nothing
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
