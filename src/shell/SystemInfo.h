#pragma once
// The text of the system information form: the disks of the working copy by name.
#include <string>

#include "partition/WorkingCopy.h"
#include "platform/Registry.h"

namespace korvex {

// The number a disk is shown with, in the system information ("N.Festplatte") and in the disk's
// overview ("Festplatte:"): its device number counted from 1. A disk after an image file that
// could not be used keeps its number, as PHYSICALDRIVEn does.
unsigned ShownDiskNumber(const CHardDisk& disk);

// "%d.Festplatte\r\n\tName : %s\r\n" for every disk in device order, with its shown number
// and the name the SCSI device map gives its device number, "unbekannt" when it gives none.
std::string SystemInfoText(const WorkingCopy& workingCopy, const RegistryStore& registry);

}  // namespace korvex
