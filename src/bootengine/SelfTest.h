#pragma once
// The self test of an installed boot engine: sector 0's loader code, loader text and signature
// against the loader template, its menu table and partition table against the engine's master
// copy (the MBR copy in the engine area). Differences are repaired in the sector-0 image unless
// only a check is wanted; the repairs reach the disk with the next save.
#include <string>

#include "partition/CHardDisk.h"

namespace korvex {

struct SelfTestReport {
  std::string text;     // one line per step, "\r\n" line breaks, the error count last
  unsigned errors = 0;  // differing bytes of loader code and text, entries of the tables, signature
  bool tested = true;   // false on a disk without the engine: text then says so
};

// Runs the test on disk's images. A repair (checkOnly clear, errors found) marks the disk
// modified so that the save writes it. On a disk without the engine nothing is tested and the
// report (tested clear) says so. A disk whose engine is in LBA 1..7 but whose sector 0 does not
// hold its loader (engineWithoutLoader) is tested against the engine's copy of sector 0: the
// repair puts that copy into sector 0 (keeping the disk identifier) and reads both levels anew
// from the engine's tables, so the disk counts as an engine disk again.
SelfTestReport SelfTest(CHardDisk& disk, bool checkOnly);

// The engine's code and texts (what the self test compares with the templates, in sector 0 and
// the engine area) are the same in both pairs of images.
bool SameEngineCode(const SectorImage& sector0, const EngineAreaImage& area, const SectorImage& otherSector0,
                    const EngineAreaImage& otherArea);

}  // namespace korvex
