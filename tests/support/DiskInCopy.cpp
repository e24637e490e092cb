#include "support/DiskInCopy.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "bootengine/LoaderRecognition.h"
#include "disk/SectorHelper.h"
#include "platform/OsIdentity.h"

namespace korvex::test {
namespace {

// With KORVEX_PLATFORM=9x every transfer goes through the stand-in helper korvex95, so that the
// tests built on OpenDisk run once more over the helper transport. korvex95 serves device n of
// the list it is given: the image stands in every place up to n.
std::unique_ptr<IDiskTransport> OpenTransport(const DeviceEntry& entry, std::uint8_t n, OsVersion os) {
  if (os.platformId == kPlatformDirect) return OpenFileDevice(entry);
  std::string disks = entry.spec;
  for (unsigned k = 0; k < n; ++k) disks += ":" + entry.spec;
  SectorHelperSettings settings{KORVEX95_PATH, n, disks};
  settings.devicePath = entry.path;
  return OpenSectorHelper(settings);
}

}  // namespace

DiskInCopy OpenDisk(const std::string& spec, CPrompt& prompt, std::uint8_t n) {
  std::string error;
  const auto entry = ParseDeviceSpec(spec, error);
  if (!entry) throw std::runtime_error(error);
  const OsVersion os = QueryOsVersion();
  return DiskInCopy(std::make_unique<CHardDisk>(n, OpenTransport(*entry, n, os), os, HoldsOurLoader, prompt), prompt);
}

DiskInCopy::Holder::Holder(unsigned n, CPrompt& prompt)
    : copy(DiskEnvironment{devices, QueryOsVersion(), registry, prompt, HoldsOurLoader}), device(n) {}

DiskInCopy::DiskInCopy(std::unique_ptr<CHardDisk> disk, CPrompt& prompt)
    : holder_(std::make_unique<Holder>(disk->DeviceNumber(), prompt)) {
  holder_->copy.Add(std::move(disk));
}

CHardDisk& DiskInCopy::operator*() const {
  CHardDisk* disk = get();
  if (disk == nullptr) throw std::logic_error("no disk in the working copy");
  return *disk;
}

ObjectRef DiskInCopy::Ref(const CPartition& object) const {
  const auto ref = RefOf(**this, object);
  EXPECT_TRUE(ref) << "the object is not one of the disk's";
  return ref.value_or(ObjectRef{});
}

}  // namespace korvex::test
