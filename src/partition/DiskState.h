#pragma once
// A disk's working copy as a value: both levels with their keys, the images of sector 0 and the
// engine area, and the flags a save reads. Undo and redo put a disk back into such a state; the
// pending changes compare the state as read (or last saved) with the state now.
#include <vector>

#include "partition/CHardDisk.h"

namespace korvex {

struct DiskState {
  std::vector<KeyedObject> primary;
  std::vector<KeyedObject> logical;
  SectorImage sector0{};
  EngineAreaImage engineArea{};
  bool modified = false;
  bool engineAreaToWrite = false;
  bool gpt = false;
  bool engineDamaged = false;
  bool engineWithoutLoader = false;
  bool logicalChainBroken = false;
  std::uint8_t directBootPending = 0;
  std::size_t logicalDrivesOnDisk = 0;
  std::size_t partitionsOnDisk = 0;
  std::vector<TableRange> rangesOnDisk;
};

DiskState CaptureState(const CHardDisk& disk);
// Puts disk back into state and tells the observers (DiskChanged); records no edit.
void RestoreState(CHardDisk& disk, const DiskState& state);

// The two states hold the same working copy: equal but for the modified mark and the keys of
// free areas, which are derived and get new keys whenever they are rebuilt.
bool SameContent(const DiskState& a, const DiskState& b);

}  // namespace korvex
