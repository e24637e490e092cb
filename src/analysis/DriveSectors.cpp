#include "analysis/DriveSectors.h"

#include <algorithm>

namespace korvex {

bool DriveSectors::ReadWhole(std::uint64_t first, std::uint32_t count, std::span<std::uint8_t> out) {
  const std::uint64_t bytes = std::uint64_t{count} * kSectorSize;
  if (count == 0 || first >= mediumSectors_ || count > mediumSectors_ - first || bytes > INT32_MAX) return false;
  IDiskTransport* transport = drive_.Transport();
  if (transport == nullptr || out.size() < bytes) return false;
  // Straight to the transport: the drive's own read would zero the buffer first, a second pass
  // over every byte of the disk. A failed or short read is zeroed by the caller.
  std::lock_guard lock(transfer_);
  return transport->Read(first * kSectorSize, out.first(bytes)) == static_cast<std::int32_t>(bytes);
}

bool DriveSectors::LookInPlace(std::uint64_t first, std::uint32_t count,
                               const std::function<void(std::span<const std::uint8_t>)>& look) {
  if (!viewTried_) {
    viewTried_ = true;
    std::lock_guard lock(transfer_);
    if (IDiskTransport* transport = drive_.Transport()) view_ = transport->ViewForReading();
  }
  if (!view_ || count == 0 || first >= mediumSectors_ || count > mediumSectors_ - first) return false;
  return view_->Visit(first * kSectorSize, std::uint64_t{count} * kSectorSize, look);
}

void DriveSectors::ReadRun(std::uint64_t first, std::uint32_t count, std::span<std::uint8_t> out,
                           std::vector<SectorRun>& unreadable) {
  if (ReadWhole(first, count, out)) return;
  // The run failed or came back short: each sector on its own, so that one bad sector costs only
  // itself and never leaves older bytes in the buffer. Through the sector helper every retry
  // starts the helper once more; after the first retry that fails too, the rest of the run
  // counts as unreadable (a helper that fails or hangs would otherwise be started, and waited
  // for, once per sector of the disk).
  const IDiskTransport* transport = drive_.Transport();
  const bool retriesStartPrograms = transport != nullptr && transport->TransfersStartAProgram();
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto sector = out.subspan(std::size_t{i} * kSectorSize, kSectorSize);
    if (ReadWhole(first + i, 1, sector)) continue;
    const std::uint32_t failed = retriesStartPrograms ? count - i : 1;
    const auto rest = out.subspan(std::size_t{i} * kSectorSize, std::size_t{failed} * kSectorSize);
    std::fill(rest.begin(), rest.end(), std::uint8_t{0});
    if (!unreadable.empty() && unreadable.back().first + unreadable.back().count == first + i) {
      unreadable.back().count += failed;
    } else {
      unreadable.push_back({first + i, failed});
    }
    i += failed - 1;
  }
}

bool DriveSectors::ReadSector(std::uint64_t lba, SectorBytes& out) { return ReadWhole(lba, 1, out); }

std::uint64_t SearchSectors(const CPhysicalDrive& drive) {
  if (const std::uint64_t medium = drive.MediumSectors(); medium != 0) return medium;
  return static_cast<std::uint64_t>(std::max<std::int64_t>(drive.Cylinders(), 0)) * drive.Heads() *
         drive.SectorsPerTrack();
}

}  // namespace korvex
