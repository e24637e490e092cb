// Boot-time passwords: the stored slot bytes, the refusals of the dialog's checks, floppy slots on
// every engine disk, and a stored password that stays with its partition when the menu moves.
#include "bootengine/LoaderRecognition.h"
#include "bootengine/Passwords.h"

#include "bootengine/EngineDiskFixture.h"
#include "bootengine/MenuConfig.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::array<std::uint8_t, 16> kKey = {0xD7, 0x3C, 0x91, 0xE7, 0x0B, 0x66, 0xD2, 0x48,
                                               0x1F, 0xA5, 0x7E, 0x03, 0xC9, 0x84, 0x2D, 0x6B};

std::array<std::uint8_t, 16> Slot(const std::vector<std::uint8_t>& image, unsigned slot) {
  std::array<std::uint8_t, 16> bytes{};
  const std::size_t offset = 512 + layout::AREA_PASSWORDS + slot * layout::CONST_PASSWORD_SLOT_SIZE;
  std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), 16, bytes.begin());
  return bytes;
}

// The stored form: each byte of the password zero-padded to 15, XOR the key; byte 15 given.
std::array<std::uint8_t, 16> Stored(const std::string& password, std::uint8_t byte15 = 0) {
  std::array<std::uint8_t, 16> bytes{};
  for (std::size_t i = 0; i < 15; ++i) {
    bytes[i] = static_cast<std::uint8_t>(kKey[i] ^ (i < password.size() ? password[i] : 0));
  }
  bytes[15] = byte15;
  return bytes;
}

class PasswordsTest : public test::EngineDiskTest {
 protected:
  WorkingCopy Load(const std::vector<std::string>& specs) {
    std::string error;
    devices = *DeviceList::FromSpecs(specs, error);
    for (unsigned n = 0; n < specs.size(); ++n) {
      registry.AddScsiUnit("Scsi Port " + std::to_string(n) + "\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0",
                           "DiskPeripheral", "Image d" + std::to_string(n) + ".img 1.0");
    }
    WorkingCopy copy(DiskEnvironment{devices, OsVersion{}, registry, prompt, HoldsOurLoader});
    copy.LoadAll();
    return copy;
  }

  test::MemoryRegistry registry;
  DeviceList devices;
};

TEST_F(PasswordsTest, PartitionSlotHoldsTheKeyedPasswordAndAZeroByte15) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0, 1}});
  auto disk = Open(spec);
  ASSERT_EQ(SetPartitionPassword(disk.copy(), disk.Ref(Part(*disk, 0)), "x", "x", prompt), PasswordResult::Stored);
  const std::string fifteen = "abcdefghijklmno";
  ASSERT_EQ(SetPartitionPassword(disk.copy(), disk.Ref(Part(*disk, 1)), fifteen, fifteen, prompt),
            PasswordResult::Stored);
  EXPECT_TRUE(disk->IsModified());
  auto reread = SaveAndReopen(*disk, spec);
  const auto image = FileBytes(spec);
  EXPECT_EQ(Slot(image, 0), Stored("x"));  // K[0] ^ 'x', then K[1..14] unchanged, then 0
  EXPECT_EQ(Slot(image, 0)[1], kKey[1]);
  EXPECT_EQ(Slot(image, 1), Stored(fifteen));
  EXPECT_EQ(Slot(image, 1)[15], 0);
  EXPECT_TRUE(Part(*reread, 0).passwordSet);
  EXPECT_TRUE(Part(*reread, 1).passwordSet);
  // The re-read copy carries the stored form only, never the password as typed.
  EXPECT_EQ(Part(*reread, 0).passwordSlot, Stored("x"));
}

TEST_F(PasswordsTest, TheStoredFormIsCutToWhatASlotHoldsAndEndsInAZeroByte) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0}});
  auto disk = Open(spec);
  EXPECT_EQ(EncodePassword(disk->engineArea, std::string(20, 'p')), Stored(std::string(15, 'p')));
  EXPECT_EQ(EncodePassword(disk->engineArea, ""), Stored(""));
}

TEST_F(PasswordsTest, RefusedAndEmptyPasswordsChangeNothing) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0}, .table = {{3, 0}}});
  auto disk = Open(spec);
  CPartition& entry = Part(*disk, 0);
  EXPECT_EQ(SetPartitionPassword(disk.copy(), disk.Ref(entry), "geheim", "geheim2", prompt), PasswordResult::Refused);
  EXPECT_EQ(LastText(), LoadResString(IDS_PASSWORDS_DIFFER));
  EXPECT_EQ(SetPartitionPassword(disk.copy(), disk.Ref(entry), std::string(16, 'a'), std::string(16, 'a'), prompt),
            PasswordResult::Refused);
  EXPECT_EQ(LastText(), text::kPasswordTooLong);
  // Characters the engine's prompt cannot take: an umlaut (UTF-8 or code page bytes), a tab, and
  // the first byte past its range (DEL, 7Fh, is the last it takes).
  for (const std::string bad : {"m\xC3\xBCll", "m\x81ll", "a\tb", "a\x80", "\x1F"}) {
    EXPECT_EQ(SetPartitionPassword(disk.copy(), disk.Ref(entry), bad, bad, prompt), PasswordResult::Refused) << bad;
    EXPECT_EQ(LastText(), text::kPasswordCharacters);
  }
  const auto shown = prompt.shown.size();
  EXPECT_EQ(SetPartitionPassword(disk.copy(), disk.Ref(entry), "", "", prompt), PasswordResult::Empty);
  EXPECT_EQ(prompt.shown.size(), shown);
  EXPECT_EQ(SetPartitionPassword(disk.copy(), disk.Ref(Part(*disk, 3)), "a", "a", prompt), PasswordResult::Refused);
  EXPECT_EQ(LastText(), text::kNotAMenuEntry);
  EXPECT_FALSE(entry.passwordSet || disk->IsModified());
  EXPECT_EQ(entry.passwordSlot, PasswordSlot{});
}

TEST_F(PasswordsTest, TheBootPromptsWholeRangeIsAccepted) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0}});
  auto disk = Open(spec);
  const std::string edges = " \x7F";  // 20h and 7Fh, the first and last character the prompt takes
  EXPECT_EQ(SetPartitionPassword(disk.copy(), disk.Ref(Part(*disk, 0)), edges, edges, prompt), PasswordResult::Stored)
      << LastText();
  auto reread = SaveAndReopen(*disk, spec);
  EXPECT_EQ(Slot(FileBytes(spec), 0), Stored(edges));
}

TEST_F(PasswordsTest, DeletingClearsTheSlotAtTheNextSave) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0}});
  auto disk = Open(spec);
  ASSERT_EQ(SetPartitionPassword(disk.copy(), disk.Ref(Part(*disk, 0)), "~ !", "~ !", prompt), PasswordResult::Stored);
  auto protectedDisk = SaveAndReopen(*disk, spec);
  ASSERT_TRUE(Part(*protectedDisk, 0).passwordSet);
  ASSERT_TRUE(DeletePartitionPassword(protectedDisk.copy(), protectedDisk.Ref(Part(*protectedDisk, 0)), prompt));
  EXPECT_TRUE(protectedDisk->IsModified());
  auto reread = SaveAndReopen(*protectedDisk, spec);
  EXPECT_FALSE(Part(*reread, 0).passwordSet);
  EXPECT_EQ(Slot(FileBytes(spec), 0), (std::array<std::uint8_t, 16>{}));
}

TEST_F(PasswordsTest, StoredPasswordStaysWithItsPartitionWhenTheMenuIsReordered) {
  const auto spec = MakeEngineDisk("d.img", {.menu = {0, 1, 2}});
  auto disk = Open(spec);
  ASSERT_EQ(SetPartitionPassword(disk.copy(), disk.Ref(Part(*disk, 0)), "erste", "erste", prompt),
            PasswordResult::Stored);
  auto saved = SaveAndReopen(*disk, spec);
  // Reordered after a program start: the password text is gone, only the stored bytes remain.
  ASSERT_TRUE(MoveMenuEntry(saved.copy(), saved.Ref(Part(*saved, 0)), 2, prompt));
  ASSERT_TRUE(RemoveFromMenu(saved.copy(), saved.Ref(Part(*saved, 1)), prompt));
  auto reread = SaveAndReopen(*saved, spec);
  EXPECT_EQ(MenuOrder(*reread), (std::vector<unsigned>{2, 0}));
  EXPECT_FALSE(Part(*reread, 2).passwordSet);
  EXPECT_TRUE(Part(*reread, 0).passwordSet);
  const auto image = FileBytes(spec);
  EXPECT_EQ(Slot(image, 1), Stored("erste"));
  EXPECT_EQ(Slot(image, 0), (std::array<std::uint8_t, 16>{}));
}

TEST_F(PasswordsTest, FloppyPasswordGoesToEveryEngineDiskAndKeepsByte15) {
  const auto first = MakeEngineDisk("d0.img", {.menu = {0}});
  const auto second = MakeEngineDisk("d1.img", {.menu = {1}});
  std::string error;
  auto plain = ImageBuilder::Create(dir.File("d2.img"), 30, 16, 63, error);
  ASSERT_TRUE(plain->AddPrimary(0, 0x07, test::PartStart(0), test::kPartLength));
  {
    // Byte 15 of slot 12 on the second disk holds something of its own.
    auto disk = Open(second, 1);
    disk->engineArea[layout::AREA_PASSWORDS + 12 * 16 + 15] = 0x5A;
    ASSERT_TRUE(WriteDisk(*disk, prompt));
  }
  auto copy = Load({first, second, plain->Spec()});
  ASSERT_EQ(copy.disks().size(), 3u);
  EXPECT_FALSE(FloppyPasswordSet(copy, FloppyDrive::A));
  ASSERT_EQ(SetFloppyPassword(copy, FloppyDrive::A, "disk", "disk", prompt), PasswordResult::Stored);
  EXPECT_TRUE(copy.Find(0)->IsModified());
  EXPECT_TRUE(copy.Find(1)->IsModified());
  EXPECT_FALSE(copy.Find(2)->IsModified());
  EXPECT_TRUE(FloppyPasswordSet(copy, FloppyDrive::A));
  EXPECT_FALSE(FloppyPasswordSet(copy, FloppyDrive::B));
  ASSERT_TRUE(SaveModifiedDisks(copy, prompt)) << LastText();
  EXPECT_EQ(Slot(FileBytes(first), 12), Stored("disk"));
  EXPECT_EQ(Slot(FileBytes(second), 12), Stored("disk", 0x5A));
  EXPECT_EQ(Slot(FileBytes(first), 13), (std::array<std::uint8_t, 16>{}));

  ASSERT_TRUE(DeleteFloppyPassword(copy, FloppyDrive::A, prompt));
  ASSERT_TRUE(SaveModifiedDisks(copy, prompt));
  EXPECT_EQ(Slot(FileBytes(second), 12), (std::array<std::uint8_t, 16>{}));
}

TEST_F(PasswordsTest, FloppyPasswordsNeedAnEngineAndMatchingEntries) {
  const auto engine = MakeEngineDisk("d0.img", {.menu = {0}});
  auto copy = Load({engine});
  EXPECT_EQ(SetFloppyPassword(copy, FloppyDrive::B, "eins", "zwei", prompt), PasswordResult::Refused);
  EXPECT_EQ(LastText(), LoadResString(IDS_PASSWORDS_DIFFER));
  EXPECT_FALSE(copy.Find(0)->IsModified());

  std::string error;
  auto plain = ImageBuilder::Create(dir.File("plain.img"), 30, 16, 63, error);
  ASSERT_TRUE(plain->AddPrimary(0, 0x07, test::PartStart(0), test::kPartLength));
  auto noEngine = Load({plain->Spec()});
  EXPECT_EQ(SetFloppyPassword(noEngine, FloppyDrive::A, "a", "a", prompt), PasswordResult::Refused);
  EXPECT_EQ(LastText(), text::kNoEngineAnywhere);
  EXPECT_FALSE(DeleteFloppyPassword(noEngine, FloppyDrive::A, prompt));
}

}  // namespace
}  // namespace korvex
