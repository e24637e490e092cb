#pragma once
// The working copy of one disk: its two levels of partition objects and the images of its
// first eight sectors (sector 0 and the engine area, LBA 1..7).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "EngineLayout.h"
#include "disk/CPhysicalDrive.h"
#include "partition/ChangeEvents.h"
#include "partition/PartitionLevel.h"
#include "platform/Prompt.h"

namespace korvex {

using SectorImage = std::array<std::uint8_t, layout::CONST_SECTOR_SIZE>;
using EngineAreaImage = std::array<std::uint8_t, layout::CONST_AREA_SIZE>;

class CHardDisk : public CPhysicalDrive {
 public:
  // Opens the disk through transport, reads sector 0 and the engine area and builds both
  // levels; prompt receives the reader's messages.
  CHardDisk(std::uint8_t deviceNumber, std::unique_ptr<IDiskTransport> transport, OsVersion os, CPrompt& prompt);
  ~CHardDisk() override;

  KeyCounter keys;
  PartitionLevel logical{keys};
  PartitionLevel primary{keys};
  std::string label;
  EngineAreaImage engineArea{};
  SectorImage sector0{};
  std::uint8_t diskIndex = 0;
  bool engineAreaToWrite = false;
  // Sector 0 holds a GPT protective entry (type EEh): the disk is read but never written.
  bool gpt = false;
  // Logical drives the chain on the disk describes (as read, or as last written): when the
  // user deletes them all, the save must cut the chain or they would come back.
  std::size_t logicalDrivesOnDisk = 0;

  // Edits of this working copy not yet saved. Only these two calls change the flag, and each
  // tells the working copy's observers (DiskChanged).
  bool IsModified() const { return modified_; }
  void MarkModified();
  void MarkSaved();
  // Where MarkModified and MarkSaved report; set by the working copy that holds the disk.
  void ReportChangesTo(const ChangeNotifier* notifier) { notifier_ = notifier; }

  // The engine counts as installed when the engine area starts with E9h 69h.
  bool EngineInstalled() const;

  // Rebuilds both levels from the images (after the images were replaced as a whole).
  void Reparse(CPrompt& prompt);
  // Re-reads sector 0 and the engine area from the disk into the images; false when a read
  // failed (the image concerned then holds zeros).
  bool ReadImages();

  // The extended partition whose logical drives the logical level holds, else the first
  // object of type 5 or 15 in level order; nothing when there is none.
  CPartition* FindExtended() const;
  std::uint8_t MenuEntryCount() const;
  // Copies of the Menu and NewMenu objects, ordered by ascending slot.
  std::vector<CPartition> MenuEntriesBySlot() const;
  // The same objects themselves, in the same order.
  std::vector<CPartition*> MenuObjectsBySlot() const;

  // Takes the default flag from object and gives it to the first Menu object of level; with
  // no menu entry left, warns and sets the engine's default entry to 0.
  void PassDefault(CPartition& object, const PartitionLevel& level, CPrompt& prompt);
  // The default-entry byte in sector 0 and in the engine's copy of it; remember-last is on
  // exactly when position equals the number of menu entries.
  void SetDefaultEntry(std::uint8_t position);
  // Gives the menu entries the positions 0..N-1 in their present order (a new entry with slot
  // 127 comes last), so that the menu table, which numbers entries by order, and the
  // default-entry byte never disagree. On a disk with the engine the default-entry byte then
  // becomes N while remember-last is on (no entry keeps the default flag), else the position of
  // the entry with the default flag; with no such entry the first entry takes the flag. Sets
  // modified when anything changed. Call after every change of menu membership or order.
  void RenumberMenu();

 private:
  void SetModified(bool modified);
  // The default-entry byte in sector 0 and in the engine's copy of it.
  void WriteDefaultEntry(std::uint8_t position);

  bool modified_ = false;
  const ChangeNotifier* notifier_ = nullptr;
};

}  // namespace korvex
