#include "partition/TableReader.h"

#include <algorithm>
#include <set>

#include "partition/MenuLines.h"
#include "partition/PartitionEntry.h"
#include "partition/SectorRanges.h"
#include "platform/StringFormat.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"
#include "platform/Trace.h"

namespace korvex {
namespace {

std::uint32_t Saturate32(std::uint64_t value) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, UINT32_MAX));
}

// A free area below 2^32; one that would begin at sector 0 and reach 2^32 keeps 2^32 - 1 sectors,
// all a 32-bit length can hold.
std::unique_ptr<CPartition> MakeFree(const CHardDisk& disk, std::uint64_t start, std::uint64_t length,
                                     std::uint8_t slot) {
  auto gap = std::make_unique<CPartition>(static_cast<std::uint32_t>(start), Saturate32(length), slot);
  gap->SetFree();
  gap->diskNumber = disk.diskIndex;
  return gap;
}

// The engine starts with the default-entry byte of sector 0, which equals its copy's after every
// save and every boot (unless remember-last or a pending direct boot use it). A save that stopped
// between the engine area and sector 0 leaves them apart: the copy's, which belongs to the menu
// read from the copy, is shown and becomes sector 0's with the next save, and the user is told.
void ReportDefaultEntriesApart(CHardDisk& disk, std::span<const std::uint8_t> tables, CPrompt& prompt) {
  const std::uint8_t configured = tables[layout::LOADER_DEFAULT_ENTRY];
  std::uint8_t& booted = disk.sector0[layout::LOADER_DEFAULT_ENTRY];
  if (booted == configured || disk.engineArea[layout::AREA_REMEMBER_LAST] != 0 ||
      disk.sector0[layout::LOADER_DIRECT_BOOT] != 0) {
    return;
  }
  prompt.Message(StrFormat(text::kDefaultEntriesApart, disk.DeviceName().c_str(), booted + 1u, configured + 1u),
                 PromptIcon::Exclamation);
  booted = configured;
}

// The menu of tables (the engine's copy of sector 0, or sector 0 itself when that copy is
// damaged), with titles and password slots from the engine area.
void ReadMenu(CHardDisk& disk, std::span<const std::uint8_t> tables) {
  const auto& area = disk.engineArea;
  const std::uint8_t defaultEntry = tables[layout::LOADER_DEFAULT_ENTRY];
  // Sector 0 as the engine and the boot command left it: the position booted last, a direct boot.
  const bool rememberLast = area[layout::AREA_REMEMBER_LAST] != 0;
  const std::uint8_t directBoot = disk.sector0[layout::LOADER_DIRECT_BOOT];
  for (unsigned i = 0; i < layout::CONST_MENU_ENTRIES; ++i) {
    const auto entry = DecodeEntry(tables.subspan(layout::LOADER_MENU_TABLE + i * kEntrySize, kEntrySize));
    if (entry.bootIndicator < layout::CONST_FIRST_HARD_DISK) break;  // no BIOS hard disk: the table ends
    auto part = std::make_unique<CPartition>(entry.relativeStart, entry.length, static_cast<std::uint8_t>(i));
    part->SetMenu();
    part->type = entry.type;
    part->diskNumber = disk.diskIndex;
    part->isDefault = i == defaultEntry;
    part->SetTitle(MenuTitleAt(area, i));
    part->bootedLast = rememberLast && i == disk.sector0[layout::LOADER_DEFAULT_ENTRY];
    part->directBootTarget = directBoot != 0 && i == disk.sector0[layout::LOADER_DEFAULT_ENTRY];
    if (part->directBootTarget) disk.directBootPending = directBoot;
    const auto* slot = area.data() + layout::AREA_PASSWORDS + i * layout::CONST_PASSWORD_SLOT_SIZE;
    std::copy_n(slot, part->passwordSlot.size(), part->passwordSlot.begin());
    part->passwordSet = slot[0] != 0;
    disk.primary.Insert(std::move(part));
  }
}

// Adds Free objects to level (sorted by start, without Free objects) for the gaps between first
// and end: before each object and after the last one. A trailing gap of a single sector is left
// out; it can hold nothing. What lies from 2^32 on cannot be named in a table and is never free.
void AddGaps(CHardDisk& disk, PartitionLevel& level, std::uint64_t first, std::uint64_t end) {
  end = std::min(end, kMbrSectorLimit);
  std::vector<std::unique_ptr<CPartition>> gaps;
  std::uint64_t position = first;
  std::uint8_t number = 0;
  for (const auto& item : level.items()) {
    const CPartition& object = *item.object;
    if (position < object.start) gaps.push_back(MakeFree(disk, position, object.start - position, number++));
    // An object nested inside another one must not pull the free space back into the outer one.
    position = std::max(position, object.End());
  }
  if (position + 1 < end) gaps.push_back(MakeFree(disk, position, end - position, number));
  for (auto& gap : gaps) level.Insert(std::move(gap));
}

}  // namespace

// The engine's signature is trusted only when sector 0 holds the engine's loader, which is what
// starts it, and a valid copy of sector 0 stands behind it. An installation torn before sector 0
// leaves the signature in LBA 1 while the old loader and its tables are still in sector 0: the
// disk is then what sector 0 says, without the engine (and reading the engine's tables would
// show partitions sector 0 does not have, or an empty disk when the copy is not yet written).
// With our loader but a damaged copy the tables come from sector 0 and the engine stays.
void CheckEngineTrust(CHardDisk& disk, CPrompt& prompt) {
  if (!disk.EngineInstalled()) return;
  const bool copyIntact = disk.EngineCopyIntact();
  const bool ourLoader = disk.SectorZeroHoldsEngineLoader();
  if (copyIntact && ourLoader) return;
  disk.engineDamaged = true;
  const char* device = disk.DeviceName().c_str();
  if (ourLoader) {
    prompt.Message(StrFormat(text::kEngineCopyDamaged, device), PromptIcon::Exclamation);
    return;
  }
  // With a valid copy the self test can put the engine's sector 0 back; without one there is
  // nothing to go back to.
  disk.engineWithoutLoader = copyIntact;
  prompt.Message(StrFormat(copyIntact ? text::kEngineLoaderMissing : text::kEngineNotStarted, device),
                 PromptIcon::Exclamation);
  disk.engineArea[0] = 0;
  disk.engineArea[1] = 0;
}

void ParseTables(CHardDisk& disk, CPrompt& prompt) {
  const bool engine = disk.EngineInstalled();
  const std::span<const std::uint8_t> table =
      engine && !disk.engineDamaged
          ? std::span<const std::uint8_t>(disk.engineArea.data() + layout::AREA_MBR_COPY, layout::CONST_SECTOR_SIZE)
          : std::span<const std::uint8_t>(disk.sector0);
  if (engine) ReadMenu(disk, table);
  if (engine && !disk.engineDamaged) ReportDefaultEntriesApart(disk, table, prompt);
  bool chainRead = false;
  for (unsigned i = 0; i < kTableEntries; ++i) {
    const auto entry = ReadTableEntry(table, i);
    if (entry.type == kTypeGptProtective) disk.gpt = true;
    if ((engine && i == layout::CONST_BOOT_SLOT) || entry.type == 0) continue;
    auto part = std::make_unique<CPartition>(entry.relativeStart, entry.length, static_cast<std::uint8_t>(i));
    if (entry.bootIndicator >= kBootIndicatorActive) {
      part->SetActiveTable();
    } else {
      part->SetTable();
    }
    part->SetTitle("");
    part->type = entry.type;
    part->diskNumber = disk.diskIndex;
    // Only one extended partition per disk has its logical drives read: the first in table order.
    if (part->IsExtended() && !chainRead) {
      part->holdsLogicalDrives = true;
      ReadExtendedChain(disk, *part, prompt);
      chainRead = true;
    }
    disk.primary.Insert(std::move(part));
  }
  disk.primary.SortByStart();
  AddPrimaryGaps(disk);
  disk.primary.SortByStart();
}

void ReadExtendedChain(CHardDisk& disk, const CPartition& ext, CPrompt& prompt) {
  const std::uint64_t extStart = ext.start;
  const std::uint64_t extEnd = ext.End();
  const std::uint64_t mediumEnd = disk.UsableSectors();
  std::vector<std::unique_ptr<CPartition>> drives;
  std::set<std::uint64_t> visited;
  SectorImage record{};
  bool broken = false;
  std::uint64_t position = extStart;
  const std::string name = Tracing(TraceCategory::Chain) ? disk.DeviceName() : std::string();
  const auto stop = [&](const char* why) {
    Trace(TraceCategory::Chain, "%s: Kette endet bei LBA %llu: %s", name.c_str(),
          static_cast<unsigned long long>(position), why);
  };
  Trace(TraceCategory::Chain, "%s: erweiterte Partition LBA %llu bis %llu", name.c_str(),
        static_cast<unsigned long long>(extStart), static_cast<unsigned long long>(extEnd));
  for (std::size_t records = 1;; ++records) {
    // A link that leaves ext or the disk ends the walk.
    if (position >= extEnd || position >= mediumEnd) {
      stop(position >= extEnd ? "Verweis außerhalb der erweiterten Partition" : "Verweis hinter das Medium");
      break;
    }
    // A link back to a record already read (the chain loops), or to a sector no table can name.
    if (!visited.insert(position).second || !MbrAddressable(position, 1)) {
      stop(MbrAddressable(position, 1) ? "Schleife, Kette beschädigt" : "Sektor nicht adressierbar, Kette beschädigt");
      broken = true;
      break;
    }
    // A record that cannot be read ends the walk; the failure is reported and keeps the disk
    // from being saved, so the drives behind it are not lost.
    if (!disk.ReadForWorkingCopy(static_cast<std::uint32_t>(position), 1, record, prompt)) {
      stop("Lesefehler");
      break;
    }
    const auto data = ReadTableEntry(record, 0);
    const auto link = ReadTableEntry(record, 1);
    Trace(TraceCategory::Chain, "%s: Satz %zu bei LBA %llu: Laufwerk Typ %02Xh ab +%u, %u Sektoren; Verweis Typ %02Xh auf +%u",
          name.c_str(), records, static_cast<unsigned long long>(position), data.type, data.relativeStart, data.length,
          link.type, link.relativeStart);
    if (data.type != 0) {
      auto drive = std::make_unique<CPartition>();
      drive->type = data.type;
      drive->start = static_cast<std::uint32_t>(position);
      drive->dataOffset = data.relativeStart;
      drive->length = Saturate32(std::uint64_t{data.relativeStart} + data.length);
      drive->SetTable();
      drive->slot = static_cast<std::uint8_t>(drives.size());
      drive->diskNumber = disk.diskIndex;
      drive->SetTitle("");
      drives.push_back(std::move(drive));
    }
    if (link.type == 0) {
      stop("kein Verweis, letzter Satz");
      break;
    }
    if (records >= kMaxChainRecords) {
      stop("zu viele Sätze, Kette beschädigt");
      broken = true;
      break;
    }
    position = extStart + link.relativeStart;
  }
  if (broken) {
    prompt.Message(LoadResString(IDS_LOGICAL_CHAIN_BROKEN), PromptIcon::Stop);
    disk.logicalChainBroken = true;
    drives.clear();
  }
  disk.logicalDrivesOnDisk = drives.size();
  if (drives.empty()) {
    // One free area over the extended partition, as far as it lies on the medium and a table can
    // name its sectors.
    const std::uint64_t end = std::min({ext.End(), disk.UsableSectors(), kMbrSectorLimit});
    if (end <= ext.start) return;
    auto whole = MakeFree(disk, ext.start, end - ext.start, kSlotNone);
    whole->diskNumber = ext.diskNumber;
    disk.logical.Insert(std::move(whole));
    return;
  }
  for (auto& drive : drives) disk.logical.Insert(std::move(drive));
  disk.logical.SortByStart();
  AddLogicalGaps(disk, ext);
  disk.logical.SortByStart();
}

void AddPrimaryGaps(CHardDisk& disk) {
  AddGaps(disk, disk.primary, disk.ChsToLba(0, 1, 1), disk.LastSector() + 1);
}

void AddLogicalGaps(CHardDisk& disk, const CPartition& ext) {
  // Nothing past the medium is free, even where the extended partition claims to reach.
  AddGaps(disk, disk.logical, ext.start, std::min(ext.End(), disk.UsableSectors()));
}

void RebuildFreeAreas(CHardDisk& disk) {
  disk.primary.RemoveFree();
  disk.primary.SortByStart();
  AddPrimaryGaps(disk);
  disk.primary.SortByStart();
  if (const CPartition* ext = disk.FindExtended()) {
    disk.logical.RemoveFree();
    disk.logical.SortByStart();
    AddLogicalGaps(disk, *ext);
    disk.logical.SortByStart();
  }
}

}  // namespace korvex
