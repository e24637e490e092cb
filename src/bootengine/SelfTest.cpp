#include "bootengine/SelfTest.h"

#include <algorithm>

#include "bootengine/Templates.h"
#include "partition/PartitionEntry.h"
#include "partition/TableWriter.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::uint8_t kSignature[2] = {layout::CONST_BOOT_SIGNATURE & 0xFF, layout::CONST_BOOT_SIGNATURE >> 8};
constexpr std::uint8_t kMenuDrive = layout::CONST_FIRST_HARD_DISK;
constexpr unsigned kDisasterErrorCount = 5;

struct Range {
  std::size_t from;
  std::size_t size;
};

// The engine area apart from its configuration, tables, titles and passwords: its code (without
// the autoboot switch the menu configuration flips), constants, reserved and run-time bytes, and
// the loader code of its copy of sector 0.
constexpr Range kEngineCode[] = {
    {layout::AREA_JUMP, layout::AREA_JUMP_SIZE},
    {layout::AREA_RESERVED_364, layout::AREA_RESERVED_364_SIZE},
    {layout::AREA_ENTRY, layout::AREA_AUTOBOOT_SWITCH - layout::AREA_ENTRY},
    {layout::AREA_AUTOBOOT_SWITCH + 1, layout::AREA_ENTRY + layout::AREA_ENTRY_SIZE - layout::AREA_AUTOBOOT_SWITCH - 1},
    {layout::AREA_CODE_PAD, layout::AREA_CODE_PAD_SIZE},
    {layout::AREA_MBR_COPY + layout::LOADER_CODE, layout::LOADER_CODE_SIZE},
    {layout::AREA_PASSWORD_KEY, layout::AREA_PASSWORD_KEY_SIZE},
    {layout::AREA_DISK_ADDRESS_PACKET, layout::AREA_DISK_ADDRESS_PACKET_SIZE},
    {layout::AREA_VARIABLES, layout::AREA_VARIABLES_SIZE},
    {layout::AREA_PASSWORD_INPUT, layout::AREA_PASSWORD_INPUT_SIZE},
    {layout::AREA_RESERVED_C5D, layout::AREA_RESERVED_C5D_SIZE},
};
// The engine's texts: the password prompt, its message lines, the loader text of its copy.
constexpr Range kEngineTexts[] = {
    {layout::AREA_PASSWORD_PROMPT, layout::AREA_PASSWORD_PROMPT_SIZE},
    {layout::AREA_MESSAGES, layout::AREA_MESSAGES_SIZE},
    {layout::AREA_MESSAGES_2, layout::AREA_MESSAGES_2_SIZE},
    {layout::AREA_MBR_COPY + layout::LOADER_TEXT, layout::LOADER_TEXT_SIZE},
};

// The findings of reading the disk anew after a repair, as lines of the report.
class ReportLines final : public CPrompt {
 public:
  explicit ReportLines(std::string& text) : text_(text) {}
  void Message(const std::string& text, PromptIcon) override { text_ += "\r\n" + text; }
  PromptAnswer Ask(const std::string& text, PromptButtons, PromptIcon) override {
    Message(text, PromptIcon::Question);
    return PromptAnswer::No;
  }

 private:
  std::string& text_;
};

class SelfTestRun {
 public:
  // trustCopy: sector 0 does not hold the engine's loader (CHardDisk::engineWithoutLoader), so
  // the partitions of the working copy were read from there and cannot tell which table is
  // right: the engine's copy of sector 0 is the measure.
  SelfTestRun(CHardDisk& disk, bool checkOnly, bool trustCopy)
      : disk_(disk), checkOnly_(checkOnly), trustCopy_(trustCopy) {}

  SelfTestReport Run() {
    report_.text = text::kSelfTestStart;
    report_.text += checkOnly_ ? text::kSelfTestCheckOnly : text::kSelfTestRepair;
    if (trustCopy_) report_.text += text::kSelfTestLoaderMissing;
    // The loader's code counts together with the engine's code and constants in LBA 1..7 and
    // the loader code of the engine's copy of sector 0 (which the engine writes to sector 0 at
    // every boot); its texts together with the engine's texts.
    Step(text::kSelfTestLoader, [&] {
      CompareBytes(disk_.sector0, kLoaderTemplate, layout::LOADER_CODE, layout::LOADER_CODE_SIZE);
      for (const auto& [from, size] : kEngineCode) CompareBytes(disk_.engineArea, kEngineTemplate, from, size);
    });
    Step(text::kSelfTestMessages, [&] {
      CompareBytes(disk_.sector0, kLoaderTemplate, layout::LOADER_TEXT, layout::LOADER_TEXT_SIZE);
      for (const auto& [from, size] : kEngineTexts) CompareBytes(disk_.engineArea, kEngineTemplate, from, size);
    });
    Step(text::kSelfTestSignature, [&] {
      CheckSignature(disk_.sector0);
      CheckSignature(std::span<std::uint8_t>(disk_.engineArea).subspan(layout::AREA_MBR_COPY, kSectorSize));
    });
    const SectorImage expected = ExpectedTables();
    Step(text::kSelfTestMenuTable, [&] {
      for (std::size_t n = 0; n < layout::CONST_MENU_ENTRIES; ++n) {
        CompareEntry(layout::LOADER_MENU_TABLE + n * kEntrySize, expected, true);
      }
    });
    // The boot slot (entry 1) is left out: the engine rewrites it at every boot.
    Step(text::kSelfTestPartitionTable, [&] {
      for (unsigned entry : {0u, 2u, 3u}) CompareEntry(kPartitionTableOffset + entry * kEntrySize, expected, false);
    });
    // The disaster recovery: exactly five errors (not five or more; the rule users of the self
    // test know) bring back the whole sector 0 from the engine's copy. With fewer, the repairs
    // above are enough; with more, the damage is too wide to trust the copy wholesale. Nothing is
    // copied while sector 0 and the copy disagree about the partitions (unresolved_).
    if (trustCopy_ && !checkOnly_ && report_.errors > 0) {
      RestoreEngineSectorZero();
    } else if (report_.errors == kDisasterErrorCount && !checkOnly_ && unresolved_ == 0) {
      report_.text += "\r\n";
      std::copy_n(MbrCopy(), layout::CONST_SECTOR_SIZE, disk_.sector0.begin());
      report_.text += text::kSelfTestDisaster;
    }
    report_.text += "\r\n\r\n";
    report_.text += StrFormat(text::kSelfTestCount, static_cast<int>(report_.errors));
    if (!checkOnly_ && report_.errors > 0) disk_.MarkModified();
    return report_;
  }

 private:
  template <typename Check>
  void Step(const char* title, Check check) {
    const unsigned before = report_.errors;
    const unsigned unresolvedBefore = unresolved_;
    report_.text += title;
    check();
    if (report_.errors == before) {
      report_.text += text::kSelfTestOk;
    } else {
      report_.text += text::kSelfTestBad;
      if (unresolved_ != unresolvedBefore) {
        report_.text += text::kSelfTestNeitherMatches;
      } else if (!checkOnly_) {
        report_.text += text::kSelfTestFixed;
      }
    }
    report_.text += "\r\n";
  }

  std::uint8_t* MbrCopy() { return disk_.engineArea.data() + layout::AREA_MBR_COPY; }

  // Sector 0 becomes the engine's copy of it (the disk identifier excepted, which the systems
  // on the disk know it by), the engine counts as installed again, and the levels are read
  // anew from the engine's tables.
  void RestoreEngineSectorZero() {
    report_.text += "\r\n";
    std::array<std::uint8_t, kDiskIdentifierSize> identifier{};
    std::copy_n(disk_.sector0.begin() + kDiskIdentifierOffset, kDiskIdentifierSize, identifier.begin());
    std::copy_n(MbrCopy(), layout::CONST_SECTOR_SIZE, disk_.sector0.begin());
    std::copy(identifier.begin(), identifier.end(), disk_.sector0.begin() + kDiskIdentifierOffset);
    report_.text += text::kSelfTestDisaster;
    ReportLines findings(report_.text);
    disk_.Reparse(findings);
  }

  // Every byte of image that differs from the template is one error.
  template <std::size_t N, std::size_t M>
  void CompareBytes(std::array<std::uint8_t, N>& image, const std::array<std::uint8_t, M>& pattern,
                    std::size_t offset, std::size_t size) {
    for (std::size_t i = offset; i < offset + size; ++i) {
      if (image[i] == pattern[i]) continue;
      ++report_.errors;
      if (!checkOnly_) image[i] = pattern[i];
    }
  }

  void CheckSignature(std::span<std::uint8_t> sector) {
    if (std::equal(std::begin(kSignature), std::end(kSignature), sector.begin() + kSignatureOffset)) return;
    ++report_.errors;
    if (checkOnly_) return;
    SetBootSignature(sector);
  }

  // The menu and partition table entries the partitions of the working copy give (as the
  // reader found them), at their offsets in a sector.
  SectorImage ExpectedTables() const {
    SectorImage expected{};
    const auto entries = disk_.MenuObjectsBySlot();
    for (std::size_t k = 0; k < entries.size() && k < layout::CONST_MENU_ENTRIES; ++k) {
      const CPartition& e = *entries[k];
      EncodeEntry(MakeEntry(disk_, kMenuDrive, e.type, e.start, e.start, e.length, false),
                  std::span<std::uint8_t>(expected).subspan(layout::LOADER_MENU_TABLE + k * kEntrySize, kEntrySize));
    }
    for (const CPartition* p : disk_.primary.Used()) {
      if (!p->InPartitionTable() || p->slot > 3) continue;
      const unsigned entry = p->slot == 1 ? 2u : p->slot;
      const std::uint8_t boot = p->IsActiveTable() ? kBootIndicatorActive : 0;
      WriteTableEntry(expected, entry, MakeEntry(disk_, boot, p->type, p->start, p->start, p->length, true));
    }
    return expected;
  }

  // The fields of an entry that say which partition it is (CHS bytes follow from them).
  static bool SamePartition(const std::uint8_t* a, const std::uint8_t* b, bool menu) {
    const PartitionEntry x = DecodeEntry(std::span<const std::uint8_t>(a, kEntrySize));
    const PartitionEntry y = DecodeEntry(std::span<const std::uint8_t>(b, kEntrySize));
    const bool sameMark = menu ? (x.bootIndicator >= 0x80) == (y.bootIndicator >= 0x80) : x.bootIndicator == y.bootIndicator;
    return sameMark && x.type == y.type && x.relativeStart == y.relativeStart && x.length == y.length;
  }

  // A 16-byte entry of sector 0 that differs from the MBR copy's is one error. The one that
  // matches the partitions of the working copy wins; when neither does, nothing changes.
  void CompareEntry(std::size_t offset, const SectorImage& expected, bool menu) {
    std::uint8_t* master = MbrCopy() + offset;
    std::uint8_t* own = disk_.sector0.data() + offset;
    if (std::equal(master, master + kEntrySize, own)) return;
    ++report_.errors;
    const std::uint8_t* wanted = expected.data() + offset;
    const bool masterRight = trustCopy_ || SamePartition(master, wanted, menu);
    const bool ownRight = !trustCopy_ && SamePartition(own, wanted, menu);
    if (!masterRight && !ownRight) {
      ++unresolved_;
      return;
    }
    if (checkOnly_) return;
    if (masterRight) {
      std::copy_n(master, kEntrySize, own);
    } else {
      std::copy_n(own, kEntrySize, master);
    }
  }

  CHardDisk& disk_;
  bool checkOnly_;
  bool trustCopy_;
  SelfTestReport report_;
  unsigned unresolved_ = 0;  // entries where neither sector 0 nor the copy fits the partitions
};

}  // namespace

SelfTestReport SelfTest(CHardDisk& disk, bool checkOnly) {
  if (disk.engineWithoutLoader) {
    // The reader took the signature out of the working copy; the test sees LBA 1 as it is on
    // the disk, and a check (or a test that repairs nothing) leaves the working copy as it was.
    disk.engineArea[0] = kEngineTemplate[0];
    disk.engineArea[1] = kEngineTemplate[1];
    SelfTestReport report = SelfTestRun(disk, checkOnly, true).Run();
    if (disk.engineWithoutLoader) {
      disk.engineArea[0] = 0;
      disk.engineArea[1] = 0;
    }
    return report;
  }
  if (!disk.EngineInstalled()) return SelfTestReport{text::kNoEngineInstalled, 0, false};
  return SelfTestRun(disk, checkOnly, false).Run();
}

bool SameEngineCode(const SectorImage& sector0, const EngineAreaImage& area, const SectorImage& otherSector0,
                    const EngineAreaImage& otherArea) {
  const auto same = [](const auto& a, const auto& b, std::size_t from, std::size_t size) {
    return std::equal(a.begin() + from, a.begin() + from + size, b.begin() + from);
  };
  if (!same(sector0, otherSector0, layout::LOADER_CODE, layout::LOADER_CODE_SIZE) ||
      !same(sector0, otherSector0, layout::LOADER_TEXT, layout::LOADER_TEXT_SIZE)) {
    return false;
  }
  return std::all_of(std::begin(kEngineCode), std::end(kEngineCode),
                     [&](const Range& r) { return same(area, otherArea, r.from, r.size); }) &&
         std::all_of(std::begin(kEngineTexts), std::end(kEngineTexts),
                     [&](const Range& r) { return same(area, otherArea, r.from, r.size); });
}

}  // namespace korvex
