#pragma once
// How bytes move between memory and one disk. The direct transport opens the block device or
// image file itself; the helper transport (sector helper program) plugs in behind the same
// interface. Transfers never throw: they report the number of bytes moved.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/DiskGeometry.h"
#include "platform/MappedMedium.h"
#include "platform/OutputTarget.h"

namespace korvex {

enum class TableReload { Done, NotNeeded, Busy, Failed };

class IDiskTransport {
 public:
  virtual ~IDiskTransport() = default;
  virtual bool IsOpen() const = 0;
  virtual std::optional<DiskGeometry> QueryGeometry() = 0;
  // The size of the medium in bytes (0 when unknown): the end no transfer may pass.
  virtual std::uint64_t SizeBytes() const = 0;
  // Bytes read into buffer from the byte offset; 0 on failure. Reads past the end stop there.
  virtual std::int32_t Read(std::uint64_t offset, std::span<std::uint8_t> buffer) = 0;
  // Bytes written from buffer at the byte offset; 0 on failure. Never writes past the end.
  virtual std::int32_t Write(std::uint64_t offset, std::span<const std::uint8_t> buffer) = 0;
  // After a save: put the data on the medium and have the kernel re-read the partition table.
  virtual bool Flush() = 0;
  virtual TableReload RereadPartitionTable() = 0;
  // Where the transport reads from, for messages.
  virtual std::string Describe() const = 0;

  // Why the medium could not be opened (IsOpen() false); empty when the reason is unknown.
  virtual std::string OpenError() const { return {}; }
  // Opened for reading only: every write is refused.
  virtual bool IsReadOnly() const { return false; }
  // A block device of this machine, not an image file: after new tables are written to it the
  // running system may hold the old ones until it restarts.
  virtual bool IsBlockDevice() const { return false; }
  // The medium seen in memory for reading without a copy; nothing when the transport cannot.
  virtual std::unique_ptr<IMediumView> ViewForReading() { return nullptr; }
  // The error number of the last transfer that moved fewer bytes than asked (errno, or one of
  // TransferErrors.h); 0 when it stopped at the end of the medium or the cause is unknown.
  virtual int LastErrorNumber() const { return 0; }
  // The file that holds the medium (an image file or device node); nothing when not known.
  virtual std::optional<FileIdentity> Identity() const { return std::nullopt; }
  // Every transfer starts a program (the sector helper): a retry costs a process, not a request.
  virtual bool TransfersStartAProgram() const { return false; }
  // Makes sure that writes into the byte range cannot fail for want of space (a sparse image
  // file has holes); false with the error number in LastErrorNumber() when the space is not there.
  virtual bool Reserve(std::uint64_t offset, std::uint64_t length) {
    (void)offset;
    (void)length;
    return true;
  }
};

}  // namespace korvex
