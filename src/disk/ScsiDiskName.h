#pragma once
// The name of the n-th disk in the SCSI device map of the registry store.
#include <optional>
#include <string>

#include "platform/RegistryStore.h"

namespace korvex {

// Walks port, bus, "Target" and logical-unit keys in enumeration order and counts the units
// whose Type is exactly "DiskPeripheral". The identifier of the n-th such unit loses its
// trailing revision field; nothing when the map or that disk is missing.
std::optional<std::string> ScsiDiskName(const RegistryStore& registry, unsigned n);

}  // namespace korvex
