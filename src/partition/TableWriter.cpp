#include "partition/TableWriter.h"

#include <algorithm>
#include <cstring>

#include "partition/PartitionEntry.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::uint8_t kFrameVertical = layout::CONST_FRAME_V;
constexpr std::uint8_t kFrameBottomLeft = layout::CONST_FRAME_BOTTOM_LEFT;
constexpr std::uint8_t kFrameHorizontal = layout::CONST_FRAME_H;
constexpr std::uint8_t kFrameBottomRight = layout::CONST_FRAME_BOTTOM_RIGHT;
constexpr std::uint8_t kMenuDrive = layout::CONST_FIRST_HARD_DISK;
constexpr std::size_t kLastLineChar = layout::CONST_LINE_CHARS - 1;

struct PackedChs {
  std::uint8_t head;
  std::uint8_t sector;
  std::uint8_t cylinder;
};

PackedChs Chs(const CHardDisk& disk, std::uint32_t lba, bool clampCylinder) {
  const ChsAddress address = disk.LbaToChs(lba);
  std::uint16_t cylinder = address.cylinder;
  if (clampCylinder && cylinder > 1023) cylinder = 1023;
  std::uint8_t sector = address.sector;
  CPhysicalDrive::PackChs(cylinder, sector);
  return PackedChs{address.head, sector, static_cast<std::uint8_t>(cylinder)};
}

std::vector<const CPartition*> TablePartitionsByStart(const CHardDisk& disk) {
  std::vector<const CPartition*> table;
  for (const CPartition* p : disk.primary.Used()) {
    if (p->InPartitionTable()) table.push_back(p);
  }
  return table;
}

std::span<std::uint8_t> ScreenLine(EngineAreaImage& area, unsigned line) {
  return std::span<std::uint8_t>(area.data() + layout::AREA_SCREEN_LINES + line * layout::CONST_SCREEN_LINE_SIZE,
                                 layout::CONST_SCREEN_LINE_SIZE);
}

// A drive whose record does not lie at the extended partition's start is reached through a
// record there with an empty first entry.
bool NeedsLeadRecord(const CPartition& ext, std::uint64_t firstRecord) { return firstRecord != ext.start; }

}  // namespace

unsigned TableEntryOf(const CHardDisk& disk, const CPartition& partition) {
  return disk.EngineInstalled() && partition.slot == 1 ? 2u : partition.slot;
}

PartitionEntry MakeEntry(const CHardDisk& disk, std::uint8_t bootIndicator, std::uint8_t type,
                         std::uint32_t chsStart, std::uint32_t relativeStart, std::uint32_t length,
                         bool clampCylinder) {
  const PackedChs first = Chs(disk, chsStart, clampCylinder);
  const PackedChs last = Chs(disk, chsStart + length - 1, clampCylinder);
  return PartitionEntry{bootIndicator, first.head, first.sector, first.cylinder, type,
                        last.head,     last.sector, last.cylinder, relativeStart, length};
}

std::optional<std::string> CheckTableSlots(const CHardDisk& disk) {
  const CPartition* holder[4] = {};
  for (const CPartition* p : TablePartitionsByStart(disk)) {
    const unsigned entry = TableEntryOf(disk, *p);
    if (entry > 3 || (disk.EngineInstalled() && entry == 1)) {
      return StrFormat(text::kSlotInvalid, disk.DeviceName().c_str(), p->start);
    }
    if (holder[entry] != nullptr) {
      return StrFormat(text::kSlotCollision, disk.DeviceName().c_str(), holder[entry]->start, p->start, entry + 1);
    }
    holder[entry] = p;
  }
  return std::nullopt;
}

void BuildPrimaryTable(CHardDisk& disk) {
  std::fill_n(disk.sector0.begin() + kPartitionTableOffset, 4 * kEntrySize, std::uint8_t{0});
  // A blank disk's sector 0 has no signature yet; without it the new table would not be read.
  SetBootSignature(disk.sector0);
  for (const CPartition* p : TablePartitionsByStart(disk)) {
    const unsigned entry = TableEntryOf(disk, *p);
    if (entry > 3) continue;  // never outside the four entries; CheckTableSlots refuses such disks
    const std::uint8_t boot = p->IsActiveTable() ? kBootIndicatorActive : 0;
    WriteTableEntry(disk.sector0, entry, MakeEntry(disk, boot, p->type, p->start, p->start, p->length, true));
  }
}

std::array<std::uint8_t, 16> EncodePassword(const CHardDisk& disk, const std::string& password) {
  std::array<std::uint8_t, 16> slot{};
  const std::size_t length = std::min<std::size_t>(password.size(), 15);
  std::memcpy(slot.data(), password.data(), length);
  for (std::size_t i = 0; i < 15; ++i) slot[i] ^= disk.engineArea[layout::AREA_PASSWORD_KEY + i];
  return slot;
}

void BuildMenuTable(CHardDisk& disk) {
  std::fill_n(disk.sector0.begin() + layout::LOADER_MENU_TABLE, layout::LOADER_MENU_TABLE_SIZE, std::uint8_t{0});
  const auto entries = disk.MenuObjectsBySlot();
  const unsigned count = static_cast<unsigned>(std::min<std::size_t>(entries.size(), layout::CONST_MENU_ENTRIES));
  std::vector<MenuTitle> titles;
  for (unsigned k = 0; k < count; ++k) {
    CPartition& e = *entries[k];
    EncodeEntry(MakeEntry(disk, kMenuDrive, e.type, e.start, e.start, e.length, false),
                std::span<std::uint8_t>(disk.sector0.data() + layout::LOADER_MENU_TABLE + k * kEntrySize, kEntrySize));
    titles.push_back(e.title);
    // The slot follows its entry: a new password is encoded, otherwise the entry's own stored
    // bytes go to its new position.
    std::array<std::uint8_t, 16> slot = e.passwordSlot;
    if (e.passwordChanged) slot = e.passwordSet ? EncodePassword(disk, e.password) : std::array<std::uint8_t, 16>{};
    std::copy(slot.begin(), slot.end(),
              disk.engineArea.begin() + layout::AREA_PASSWORDS + k * layout::CONST_PASSWORD_SLOT_SIZE);
    e.passwordSlot = slot;
  }
  WriteMenuLines(disk.engineArea, titles);
}

void WriteMenuLines(EngineAreaImage& area, std::span<const MenuTitle> titles) {
  const unsigned count = static_cast<unsigned>(std::min<std::size_t>(titles.size(), layout::CONST_MENU_ENTRIES));
  for (unsigned k = 0; k < count; ++k) {
    auto line = ScreenLine(area, layout::CONST_MENU_FIRST_LINE + k);
    std::fill(line.begin(), line.end(), std::uint8_t{' '});
    line[0] = kFrameVertical;
    std::copy(titles[k].begin(), titles[k].end(), line.begin() + layout::CONST_TITLE_CHAR);
    line[kLastLineChar] = kFrameVertical;
    line[layout::CONST_LINE_CHARS] = 0;
  }
  auto bottom = ScreenLine(area, layout::CONST_MENU_FIRST_LINE + count);
  bottom[0] = kFrameBottomLeft;
  std::fill(bottom.begin() + 1, bottom.begin() + kLastLineChar, kFrameHorizontal);
  bottom[kLastLineChar] = kFrameBottomRight;
  bottom[layout::CONST_LINE_CHARS] = 0;
  if (layout::CONST_MENU_FIRST_LINE + count + 1 < layout::CONST_SCREEN_LINE_COUNT) {
    ScreenLine(area, layout::CONST_MENU_FIRST_LINE + count + 1)[0] = 0;
  } else {
    area[layout::AREA_SCREEN_END] = 0;
  }
}

SectorImage EmptyRecord() {
  SectorImage record{};
  SetBootSignature(record);
  return record;
}

std::size_t ChainRecordCount(const CPartition& ext, const std::vector<CPartition*>& drives) {
  if (drives.empty()) return 0;
  return drives.size() + (NeedsLeadRecord(ext, drives.front()->start) ? 1 : 0);
}

std::size_t ChainRecordCountWith(const CPartition& ext, const std::vector<CPartition*>& drives,
                                 std::uint64_t recordStart) {
  const std::uint64_t first =
      drives.empty() ? recordStart : std::min<std::uint64_t>(drives.front()->start, recordStart);
  return drives.size() + 1 + (NeedsLeadRecord(ext, first) ? 1 : 0);
}

std::vector<ChainRecord> BuildExtendedChain(const CHardDisk& disk, const std::vector<CPartition*>& drives,
                                            const CPartition& ext) {
  std::vector<ChainRecord> chain;
  const auto link = [&](const CPartition& next) {
    return MakeEntry(disk, 0, kTypeExtended, next.start, next.start - ext.start, next.length, true);
  };
  if (!drives.empty() && NeedsLeadRecord(ext, drives.front()->start)) {
    ChainRecord lead{ext.start, EmptyRecord(), nullptr};
    WriteTableEntry(lead.sector, 1, link(*drives.front()));
    chain.push_back(lead);
  }
  for (std::size_t k = 0; k < drives.size(); ++k) {
    const CPartition& d = *drives[k];
    ChainRecord record{d.start, EmptyRecord(), &d};
    WriteTableEntry(record.sector, 0,
                    MakeEntry(disk, 0, d.type, d.DataStart(), d.dataOffset, d.DataLength(), true));
    if (k + 1 < drives.size()) WriteTableEntry(record.sector, 1, link(*drives[k + 1]));
    chain.push_back(record);
  }
  return chain;
}

}  // namespace korvex
