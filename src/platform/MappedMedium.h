#pragma once
// A medium (an image file or a block device) seen in memory, read-only, so that long reads over
// what the system holds in its cache need no copy: the lost-partition search tests every sector
// of a disk on the system's own cache pages instead of copying each cylinder out first. A page
// that cannot be read (a bad sector, a file cut short meanwhile) would end the program with a
// bus error; the view maps each range before it is read, and guards the reading of it.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace korvex {

class IMediumView {
 public:
  virtual ~IMediumView() = default;
  // Runs look over the bytes [offset, offset + length) where they lie, when they are in the
  // system's cache. False, without running look or after breaking it off, when they are not (a
  // plain read fetches them from the disk faster), when a byte of the range cannot be read or
  // lies past the medium. look may be broken off at any byte of the range it reads, so while it
  // reads them it must not allocate, take locks or hold objects that need destroying.
  virtual bool Visit(std::uint64_t offset, std::uint64_t length,
                     const std::function<void(std::span<const std::uint8_t>)>& look) = 0;
};

// The medium open at fd, of bytes bytes, seen in memory; nothing when the system cannot show it
// so (or cannot bring a range into memory without the risk of a bus error).
std::unique_ptr<IMediumView> ViewMedium(int fd, std::uint64_t bytes);

// Runs work, which reads memory seen from a file or device; false when reading a page of it
// failed, which breaks work off (with the limits on work that Visit names). A bus error
// anywhere else is left to what the program did with it before.
bool RunGuardedAgainstBusErrors(const std::function<void()>& work);

}  // namespace korvex
