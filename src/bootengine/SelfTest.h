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
// report (tested clear) says so.
SelfTestReport SelfTest(CHardDisk& disk, bool checkOnly);

}  // namespace korvex
