#pragma once
// The text of the system information form: the disks of the working copy by name.
#include <string>

#include "partition/WorkingCopy.h"
#include "platform/RegistryStore.h"

namespace korvex {

// "%d.Festplatte\r\n\tName : %s\r\n" for the k-th disk (k from 1, in device order) with the
// name the SCSI device map gives its device number, "unbekannt" when it gives none.
std::string SystemInfoText(const WorkingCopy& workingCopy, const RegistryStore& registry);

}  // namespace korvex
