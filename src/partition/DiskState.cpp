#include "partition/DiskState.h"

#include <algorithm>

namespace korvex {
namespace {

bool SameLevel(const std::vector<KeyedObject>& a, const std::vector<KeyedObject>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const KeyedObject& x, const KeyedObject& y) {
    return x.object == y.object && (x.key == y.key || x.object.IsFree());
  });
}

}  // namespace

DiskState CaptureState(const CHardDisk& disk) {
  DiskState state;
  state.primary = disk.primary.Snapshot();
  state.logical = disk.logical.Snapshot();
  state.sector0 = disk.sector0;
  state.engineArea = disk.engineArea;
  state.modified = disk.IsModified();
  state.engineAreaToWrite = disk.engineAreaToWrite;
  state.gpt = disk.gpt;
  state.engineDamaged = disk.engineDamaged;
  state.engineWithoutLoader = disk.engineWithoutLoader;
  state.logicalChainBroken = disk.logicalChainBroken;
  state.directBootPending = disk.directBootPending;
  state.logicalDrivesOnDisk = disk.logicalDrivesOnDisk;
  state.partitionsOnDisk = disk.partitionsOnDisk;
  state.rangesOnDisk = disk.rangesOnDisk;
  return state;
}

void RestoreState(CHardDisk& disk, const DiskState& state) {
  disk.primary.Restore(state.primary);
  disk.logical.Restore(state.logical);
  disk.sector0 = state.sector0;
  disk.engineArea = state.engineArea;
  disk.engineAreaToWrite = state.engineAreaToWrite;
  disk.gpt = state.gpt;
  disk.engineDamaged = state.engineDamaged;
  disk.engineWithoutLoader = state.engineWithoutLoader;
  disk.logicalChainBroken = state.logicalChainBroken;
  disk.directBootPending = state.directBootPending;
  disk.logicalDrivesOnDisk = state.logicalDrivesOnDisk;
  disk.partitionsOnDisk = state.partitionsOnDisk;
  disk.rangesOnDisk = state.rangesOnDisk;
  disk.MarkRestored(state.modified);
}

bool SameContent(const DiskState& a, const DiskState& b) {
  return SameLevel(a.primary, b.primary) && SameLevel(a.logical, b.logical) && a.sector0 == b.sector0 &&
         a.engineArea == b.engineArea && a.engineAreaToWrite == b.engineAreaToWrite && a.gpt == b.gpt &&
         a.engineDamaged == b.engineDamaged && a.engineWithoutLoader == b.engineWithoutLoader &&
         a.logicalChainBroken == b.logicalChainBroken && a.directBootPending == b.directBootPending &&
         a.logicalDrivesOnDisk == b.logicalDrivesOnDisk && a.partitionsOnDisk == b.partitionsOnDisk &&
         a.rangesOnDisk == b.rangesOnDisk;
}

}  // namespace korvex
