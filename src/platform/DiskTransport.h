#pragma once
// How bytes move between memory and one disk. The direct transport opens the block device or
// image file itself; the helper transport (sector helper program) plugs in behind the same
// interface. Transfers never throw: they report the number of bytes moved.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/DiskGeometry.h"

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
};

}  // namespace korvex
