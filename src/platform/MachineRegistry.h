#pragma once
// HKEY_LOCAL_MACHINE as the program sees it, built once from the device list: the SCSI device
// map with one disk per device, in device order,
//   HARDWARE\DEVICEMAP\Scsi\Scsi Port <n>\Scsi Bus 0\Target Id 0\Logical Unit Id 0
//     "Type"="DiskPeripheral", "Identifier"="<vendor> <product> <revision>"
// and the computer name under SYSTEM\CurrentControlSet\Control\ComputerName\ComputerName.
#include <filesystem>
#include <string>

#include "platform/DeviceList.h"
#include "platform/RegTree.h"

namespace korvex {

// Longest identifier a reader with a 128-byte buffer (terminator included) can take whole.
inline constexpr std::size_t kMaxScsiIdentifierBytes = 127;

// The SCSI identifier of a device: vendor, product and revision field separated by blanks.
// An image file is vendor "Image", its file name and revision "1.0". A block device /dev/X
// takes vendor, model and rev from sysfsRoot/X/device; a missing or numeric vendor is left
// out, a missing model becomes X, a missing revision comes from firmware_rev or is "-". The
// product is shortened so that the whole fits kMaxScsiIdentifierBytes.
std::string ScsiIdentifier(const DeviceEntry& entry, const std::filesystem::path& sysfsRoot);

// The whole machine tree; the computer name value is left out when computerName is empty.
RegKey BuildMachineRegistry(const DeviceList& devices, const std::string& computerName,
                            const std::filesystem::path& sysfsRoot);

}  // namespace korvex
