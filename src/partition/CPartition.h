#pragma once
// One object of a disk's working copy: a boot menu entry, a partition-table partition, a
// logical drive or a free area.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "EngineLayout.h"
#include "platform/DiskGeometry.h"

namespace korvex {

enum class PartitionState : std::uint32_t {
  Menu = 0,         // entry of the boot engine's menu table
  Table = 1,        // partition-table entry without boot indicator; every logical drive
  Free = 2,         // unpartitioned gap
  NewTable = 3,     // created since the last load, goes to the partition table
  NewMenu = 4,      // created since the last load, goes into the boot menu
  ActiveTable = 5,  // partition-table entry with boot indicator 80h
};

const char* StateName(PartitionState state);

inline constexpr std::size_t kTitleLength = layout::CONST_TITLE_CHARS;

// A sector the next save writes back: the boot sector of a volume adopted through its backup.
struct SectorRestore {
  std::uint32_t lba = 0;
  std::array<std::uint8_t, kSectorSize> bytes{};
  bool operator==(const SectorRestore&) const = default;
};
inline constexpr std::uint8_t kSlotUnplacedMenu = 127;
inline constexpr std::uint8_t kSlotNone = 255;

class CPartition {
 public:
  CPartition() = default;
  CPartition(std::uint32_t start, std::uint32_t length, std::uint8_t slot)
      : slot(slot), length(length), start(start) {}
  virtual ~CPartition() = default;
  CPartition(const CPartition&) = default;
  CPartition& operator=(const CPartition&) = default;
  bool operator==(const CPartition&) const = default;

  bool passwordSet = false;
  // The stored form of this menu entry's password (bootengine/Passwords.h), as read or set; it
  // moves with the entry when the menu order changes. No password is kept as typed.
  std::array<std::uint8_t, layout::CONST_PASSWORD_SLOT_SIZE> passwordSlot{};
  bool isNew = false;
  bool destructive = false;
  std::uint32_t diskNumber = 0;
  bool isDefault = false;
  std::uint8_t type = 0;
  std::array<char, kTitleLength> title{};  // code page 437, blank-padded, not terminated
  std::uint8_t slot = 0;
  PartitionState state = PartitionState::Table;
  std::uint32_t length = 0;
  std::uint32_t start = 0;
  // Logical drives: sectors from the drive's extended boot record (at start) to its data, as
  // entry 0 of that record gives it. The drive's data is [start + dataOffset, start + length).
  std::uint32_t dataOffset = 0;
  // This extended partition is the one whose logical drives the logical level holds.
  bool holdsLogicalDrives = false;
  // Menu entries as sector 0 names them when the disk is read: the entry the engine booted
  // last (remember-last), and the entry of a pending direct boot. Saves keep both.
  bool bootedLast = false;
  bool directBootTarget = false;
  // A volume adopted through its backup boot sector: its boot sector, which the next save writes
  // to its first sector (while the object still begins there).
  std::optional<SectorRestore> bootSectorRestore;

  void SetTitle(std::string_view text);
  // Up to the first zero byte, trailing blanks removed.
  std::string GetTitle() const;

  void SetMenu() { state = PartitionState::Menu; }
  void SetTable() { state = PartitionState::Table; }
  void SetFree() { state = PartitionState::Free; }
  void SetActiveTable() { state = PartitionState::ActiveTable; }
  // NewMenu for wanted state 4, NewTable for any other; marks the object new.
  void MarkNew(PartitionState wanted);

  bool IsMenu() const { return state == PartitionState::Menu; }
  bool IsTable() const { return state == PartitionState::Table; }
  bool IsFree() const { return state == PartitionState::Free; }
  bool IsNewTable() const { return state == PartitionState::NewTable; }
  bool IsNewMenu() const { return state == PartitionState::NewMenu; }
  bool IsActiveTable() const { return state == PartitionState::ActiveTable; }
  bool InMenu() const { return IsMenu() || IsNewMenu(); }
  // Held in a partition-table entry: Table, NewTable or ActiveTable.
  bool InPartitionTable() const { return IsTable() || IsNewTable() || IsActiveTable(); }
  bool IsExtended() const;

  // Both in 64 bits: a drive near the end of what a table can name may reach past 2^32.
  std::uint64_t End() const { return std::uint64_t{start} + length; }  // one past the last sector
  std::uint64_t DataStart() const { return std::uint64_t{start} + dataOffset; }
  std::uint32_t DataLength() const { return length - dataOffset; }
};

}  // namespace korvex
