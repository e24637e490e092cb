#pragma once
// The file-system probes of the classifier. Each looks at the tested sector (and, through the
// context, at a few sectors around it) and returns a kind-14 hit, or nothing when the sector is
// not what the probe looks for. A hit whose volume could not lie on the medium keeps its file
// system and label but has no range.
#include <optional>

#include "analysis/SectorClassifier.h"

namespace korvex {

// A FAT12/16/32 boot sector. A FAT32 backup boot sector whose original is lost describes the
// volume from where the original was (found through the backup); one whose original survives
// gives a plain hit naming the original.
std::optional<ScanHit> ProbeFatBootSector(const ProbeContext& context);
// An NTFS boot sector, or its backup at the end of the volume (as for FAT32); the label comes
// from the volume's $Volume record or its mirror.
std::optional<ScanHit> ProbeNtfsBootSector(const ProbeContext& context);
// An ext2/3/4 primary superblock: the tested sector is the volume's third.
std::optional<ScanHit> ProbeExtSuperblock(const ProbeContext& context);
// A Linux swap signature at the end of the first 4 KiB page: the tested sector is the area's
// eighth.
std::optional<ScanHit> ProbeSwapSignature(const ProbeContext& context);
// The entries of an extended boot record; nothing for any other sector (sector 0 included).
std::optional<ExtendedRecord> ProbeExtendedRecord(const ProbeContext& context);

}  // namespace korvex
