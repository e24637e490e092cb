#pragma once
// The working copy of one disk: its two levels of partition objects and the images of its
// first eight sectors (sector 0 and the engine area, LBA 1..7).
#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "EngineLayout.h"
#include "disk/CPhysicalDrive.h"
#include "partition/ChangeEvents.h"
#include "partition/LoaderCheck.h"
#include "partition/PartitionLevel.h"
#include "platform/Prompt.h"

namespace korvex {

using SectorImage = std::array<std::uint8_t, layout::CONST_SECTOR_SIZE>;
using EngineAreaImage = std::array<std::uint8_t, layout::CONST_AREA_SIZE>;

// Sector 0 and the engine area: what the boot engine occupies.
inline constexpr std::uint32_t kEngineTrackSectors = 8;

// A read of the disk that failed: the first sector of the read, how many sectors it covered,
// and the error number. The working copy of such a disk is never written back.
struct ReadFailure {
  std::uint32_t lba = 0;
  std::uint32_t count = 0;
  int error = 0;
};

// A partition or logical drive as a disk's tables describe it: its data sectors and its type.
class EditHistory;

// The engine area starts with E9h 69h: the boot engine is installed.
bool HasEngineSignature(const EngineAreaImage& area);

struct TableRange {
  std::uint64_t first = 0;
  std::uint64_t count = 0;
  std::uint8_t type = 0;
  bool operator==(const TableRange&) const = default;
};

class CHardDisk : public CPhysicalDrive {
 public:
  // Opens the disk through transport, reads sector 0 and the engine area and builds both
  // levels; holdsEngineLoader tells the engine's loader in sector 0; prompt receives the
  // reader's messages.
  CHardDisk(std::uint8_t deviceNumber, std::unique_ptr<IDiskTransport> transport, OsVersion os,
            LoaderCheck holdsEngineLoader, CPrompt& prompt);
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
  // Reads that failed since the working copy was loaded (kept when the tables are parsed anew);
  // while there is one, saving is refused.
  std::vector<ReadFailure> readFailures;
  // The chain of extended boot records could not be read whole (it loops, links on past the
  // last record the reader follows, or links past the last sector a table can name): its drives
  // are not shown, and saving is refused, or the save would write the chain without them.
  bool logicalChainBroken = false;
  // LBA 1 carries the engine signature, but the engine's copy of sector 0 is not valid: the
  // tables were read from sector 0 (and the engine counts as installed only when sector 0 holds
  // the engine's loader).
  bool engineDamaged = false;
  // Partitions and logical drives the tables on the disk describe (as read, or as last written):
  // a save that would leave none asks first.
  std::size_t partitionsOnDisk = 0;
  // The same partitions and logical drives with their ranges: what a save deletes, moves,
  // shrinks or retypes is found against them.
  std::vector<TableRange> rangesOnDisk;
  // LBA 1..7 hold the engine with a valid copy of sector 0, but sector 0 does not hold its
  // loader (an installation torn before sector 0, or a loader another program wrote): the
  // engine counts as not installed and the tables come from sector 0; the self test can put
  // the engine's sector 0 back.
  bool engineWithoutLoader = false;
  // The direct-boot byte of sector 0 while a direct boot waits for the next start (0: none).
  std::uint8_t directBootPending = 0;

  // Edits of this working copy not yet saved. Only these calls change the flag, and each tells
  // the working copy's observers (DiskChanged). MarkModified is where every edit passes: the
  // edit history learns of the change there; MarkSaved makes the disk as written the state its
  // pending changes are measured against.
  bool IsModified() const { return modified_; }
  void MarkModified();
  void MarkSaved();
  // The disk was put back into an earlier state (undo, redo, a save that failed): the flag as
  // that state had it, and no edit recorded.
  void MarkRestored(bool modified);
  // Where MarkModified and MarkSaved report; set by the working copy that holds the disk.
  void ReportChangesTo(const ChangeNotifier* notifier) { notifier_ = notifier; }
  void RecordEditsIn(EditHistory* history) { history_ = history; }

  // The engine counts as installed when the engine area starts with E9h 69h.
  bool EngineInstalled() const;
  // The engine's copy of sector 0 in the engine area image carries the signature 55h AAh.
  bool EngineCopyIntact() const;
  // The sector 0 image holds the engine's loader.
  bool SectorZeroHoldsEngineLoader() const { return holdsEngineLoader_(sector0); }
  // A partition or logical drive that begins in sectors 0..7, where the engine is written;
  // nothing when there is none.
  const CPartition* PartitionInEngineTrack() const;
  // The first partition or logical drive (used objects of both levels, in level order) that
  // shares a sector with [start, end), passing over the objects in except; nothing when those
  // sectors are clear of them.
  const CPartition* UsedObjectIn(std::uint64_t start, std::uint64_t end,
                                 std::initializer_list<const CPartition*> except = {}) const;

  // The files of the disks opened beside this one in its working copy, its own included: a
  // file the program writes (image, backup) must never replace one of them.
  std::vector<FileIdentity> DiskFiles() const;
  // Set by the working copy that holds the disk: the files of every disk it opened.
  void ShareDiskFiles(std::shared_ptr<const std::vector<FileIdentity>> files) { diskFiles_ = std::move(files); }

  // Rebuilds both levels from the images (after the images were replaced as a whole).
  void Reparse(CPrompt& prompt);
  // Re-reads sector 0 and the engine area from the disk into the images; false when a read
  // failed (the image concerned then holds zeros and the failure is in readFailures).
  bool ReadImages();
  // Reads sectors of the disk for the working copy; a failure is recorded in readFailures and
  // reported through prompt (disk, sector, error).
  bool ReadForWorkingCopy(std::uint32_t lba, std::uint32_t count, std::span<std::uint8_t> buffer, CPrompt& prompt);
  // Sector lba was read without failure (or lies in no failed read).
  bool SectorRead(std::uint32_t lba) const;

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
  void Notify() const;
  // The default-entry byte in sector 0 and in the engine's copy of it.
  void WriteDefaultEntry(std::uint8_t position);

  bool modified_ = false;
  const ChangeNotifier* notifier_ = nullptr;
  EditHistory* history_ = nullptr;
  LoaderCheck holdsEngineLoader_;
  std::shared_ptr<const std::vector<FileIdentity>> diskFiles_;
};

}  // namespace korvex
