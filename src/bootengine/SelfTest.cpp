#include "bootengine/SelfTest.h"

#include <algorithm>

#include "bootengine/Templates.h"
#include "partition/PartitionEntry.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::uint8_t kSignature[2] = {layout::CONST_BOOT_SIGNATURE & 0xFF, layout::CONST_BOOT_SIGNATURE >> 8};

class SelfTestRun {
 public:
  SelfTestRun(CHardDisk& disk, bool checkOnly) : disk_(disk), checkOnly_(checkOnly) {}

  SelfTestReport Run() {
    report_.text = text::kSelfTestStart;
    report_.text += checkOnly_ ? text::kSelfTestCheckOnly : text::kSelfTestRepair;
    Step(text::kSelfTestLoader, [&] { CompareBytes(layout::LOADER_CODE, layout::LOADER_CODE_SIZE); });
    Step(text::kSelfTestMessages, [&] { CompareBytes(layout::LOADER_TEXT, layout::LOADER_TEXT_SIZE); });
    Step(text::kSelfTestSignature, [&] { CheckSignature(); });
    Step(text::kSelfTestMenuTable, [&] {
      for (std::size_t n = 0; n < layout::CONST_MENU_ENTRIES; ++n) CompareEntry(layout::LOADER_MENU_TABLE + n * kEntrySize);
    });
    // The boot slot (entry 1) is left out: the engine rewrites it at every boot.
    Step(text::kSelfTestPartitionTable, [&] {
      for (unsigned entry : {0u, 2u, 3u}) CompareEntry(kPartitionTableOffset + entry * kEntrySize);
    });
    if (report_.errors == 5 && !checkOnly_) {
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
    report_.text += title;
    check();
    if (report_.errors == before) {
      report_.text += text::kSelfTestOk;
    } else {
      report_.text += text::kSelfTestBad;
      if (!checkOnly_) report_.text += text::kSelfTestFixed;
    }
    report_.text += "\r\n";
  }

  const std::uint8_t* MbrCopy() const { return disk_.engineArea.data() + layout::AREA_MBR_COPY; }

  // Every byte that differs from the loader template is one error.
  void CompareBytes(std::size_t offset, std::size_t size) {
    for (std::size_t i = offset; i < offset + size; ++i) {
      if (disk_.sector0[i] == kLoaderTemplate[i]) continue;
      ++report_.errors;
      if (!checkOnly_) disk_.sector0[i] = kLoaderTemplate[i];
    }
  }

  void CheckSignature() {
    if (std::equal(std::begin(kSignature), std::end(kSignature), disk_.sector0.begin() + kSignatureOffset)) return;
    ++report_.errors;
    if (checkOnly_) return;
    SetBootSignature(disk_.sector0);
  }

  // A 16-byte entry of sector 0 that differs from the MBR copy's is one error.
  void CompareEntry(std::size_t offset) {
    const std::uint8_t* master = MbrCopy() + offset;
    if (std::equal(master, master + kEntrySize, disk_.sector0.begin() + offset)) return;
    ++report_.errors;
    if (!checkOnly_) std::copy_n(master, kEntrySize, disk_.sector0.begin() + offset);
  }

  CHardDisk& disk_;
  bool checkOnly_;
  SelfTestReport report_;
};

}  // namespace

SelfTestReport SelfTest(CHardDisk& disk, bool checkOnly) {
  if (!disk.EngineInstalled()) return SelfTestReport{text::kNoEngineInstalled, 0, false};
  return SelfTestRun(disk, checkOnly).Run();
}

}  // namespace korvex
