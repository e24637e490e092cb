#pragma once
// A disk a test opened, held as the one disk of a working copy of its own: the editing
// operations name their object by reference and reach the disk through the copy. It reads like
// a pointer to the disk, so tests keep writing disk->primary and *disk. The copy knows no
// devices, so it cannot load the disk again.
#include <memory>

#include "partition/ObjectRef.h"
#include "support/DiskFixtures.h"

namespace korvex::test {

class DiskInCopy {
 public:
  DiskInCopy() = default;
  DiskInCopy(std::unique_ptr<CHardDisk> disk, CPrompt& prompt);

  CHardDisk* get() const { return holder_ ? holder_->copy.Find(holder_->device) : nullptr; }
  // Both throw when there is no disk (nothing opened, or the copy dropped it).
  CHardDisk* operator->() const { return &**this; }
  CHardDisk& operator*() const;
  bool operator==(std::nullptr_t) const { return get() == nullptr; }

  WorkingCopy& copy() const { return holder_->copy; }
  // The reference of object, which must be an object of the disk.
  ObjectRef Ref(const CPartition& object) const;

 private:
  struct Holder {
    Holder(unsigned n, CPrompt& prompt);
    DeviceList devices;
    MemoryRegistry registry;
    WorkingCopy copy;
    unsigned device;
  };
  std::unique_ptr<Holder> holder_;
};

// The image as disk n of a working copy of its own, read and parsed; with KORVEX_PLATFORM=9x
// reached through the stand-in sector helper korvex95.
DiskInCopy OpenDisk(const std::string& spec, CPrompt& prompt, std::uint8_t n = 0);
inline DiskInCopy OpenDisk(const ImageBuilder& image, CPrompt& prompt, std::uint8_t n = 0) {
  return OpenDisk(image.Spec(), prompt, n);
}

}  // namespace korvex::test
