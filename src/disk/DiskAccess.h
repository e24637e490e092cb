#pragma once
// How the program reaches the disks on its platform. On the direct transport (platform id 2)
// it opens the device or image itself and names the disk from the SCSI device map; on the
// helper transport every exchange goes through the sector helper program named by the setting
// "Win95Hack", and the disks are named "1.Festplatte", "2.Festplatte", ….
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/DeviceList.h"
#include "platform/DiskTransport.h"
#include "platform/OsIdentity.h"
#include "platform/Prompt.h"
#include "platform/RegistryStore.h"

namespace korvex {

// The transport of device n, or nothing when there is no such device: on the direct transport
// when the device list has no entry n, on the helper transport when the helper's probe finds no
// device n. For device 0 the helper transport also tells the user why it cannot run at all.
std::unique_ptr<IDiskTransport> OpenDiskTransport(const DeviceList& devices, std::uint8_t n, OsVersion os,
                                                  const RegistryStore& registry, CPrompt& prompt);

// The label of disk n: its identifier in the SCSI device map (nothing when the map has none),
// or on the helper transport "%d.Festplatte" with n + 1.
std::optional<std::string> DiskLabel(const RegistryStore& registry, std::uint8_t n, OsVersion os);

}  // namespace korvex
