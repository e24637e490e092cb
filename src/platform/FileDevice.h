#pragma once
// The direct transport: a block device or an image file opened read-write by the program.
#include <memory>

#include "platform/DeviceList.h"
#include "platform/DiskTransport.h"

namespace korvex {

// Opens entry read-write; the transport reports IsOpen() false when that failed.
std::unique_ptr<IDiskTransport> OpenFileDevice(const DeviceEntry& entry);

// Heads per cylinder for an image of this many bytes with 63 sectors per track: the BIOS
// LBA-assist rule (16 up to 504 MiB, 32 up to 1008, 64 up to 2016, 128 up to 4032, else 255).
std::uint32_t LbaAssistHeads(std::uint64_t bytes);

}  // namespace korvex
