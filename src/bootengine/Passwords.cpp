#include "bootengine/Passwords.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "bootengine/MenuEntryChecks.h"
#include "platform/StringTable.h"
#include "platform/Texts.h"

namespace korvex {
namespace {

constexpr std::size_t kMaxPasswordLength = layout::CONST_PASSWORD_MAX;
constexpr unsigned char kFirstTypeable = layout::CONST_FIRST_TYPEABLE;
constexpr unsigned char kLastTypeable = layout::CONST_LAST_TYPEABLE;
// A stored password ends in a zero byte, or fills the slot but its last byte.
static_assert(kMaxPasswordLength < layout::CONST_PASSWORD_SLOT_SIZE);

// Nothing when the password may be stored, else what to report (after the message).
std::optional<PasswordResult> CheckPassword(const std::string& password, const std::string& repetition,
                                            CPrompt& prompt) {
  if (password != repetition) {
    prompt.Message(LoadResString(IDS_PASSWORDS_DIFFER), PromptIcon::Stop);
    return PasswordResult::Refused;
  }
  if (password.empty()) return PasswordResult::Empty;
  if (password.size() > kMaxPasswordLength) {
    prompt.Message(text::kPasswordTooLong, PromptIcon::Stop);
    return PasswordResult::Refused;
  }
  if (!std::all_of(password.begin(), password.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= kFirstTypeable && byte <= kLastTypeable;
      })) {
    prompt.Message(text::kPasswordCharacters, PromptIcon::Stop);
    return PasswordResult::Refused;
  }
  return std::nullopt;
}

std::uint8_t* FloppySlot(CHardDisk& disk, FloppyDrive drive) {
  const unsigned slot = layout::CONST_FLOPPY_A_SLOT + static_cast<unsigned>(drive);
  return disk.engineArea.data() + layout::AREA_PASSWORDS + slot * layout::CONST_PASSWORD_SLOT_SIZE;
}

std::vector<CHardDisk*> EngineDisks(const WorkingCopy& workingCopy) {
  std::vector<CHardDisk*> disks;
  for (const auto& [key, disk] : workingCopy.disks()) {
    if (disk->EngineInstalled()) disks.push_back(disk.get());
  }
  return disks;
}

}  // namespace

PasswordSlot EncodePassword(const EngineAreaImage& area, std::string_view password) {
  PasswordSlot slot{};
  std::copy_n(password.begin(), std::min(password.size(), kMaxPasswordLength), slot.begin());
  for (std::size_t i = 0; i < kMaxPasswordLength; ++i) slot[i] ^= area[layout::AREA_PASSWORD_KEY + i];
  return slot;
}

PasswordResult SetPartitionPassword(WorkingCopy& workingCopy, const ObjectRef& entry, const std::string& password,
                                    const std::string& repetition, CPrompt& prompt) {
  const auto target = RequireMenuEntry(workingCopy, entry, prompt);
  if (!target) return PasswordResult::Refused;
  if (const auto refusal = CheckPassword(password, repetition, prompt)) return *refusal;
  CPartition& object = *target->object;
  object.passwordSlot = EncodePassword(target->disk->engineArea, password);
  object.passwordSet = true;
  target->disk->MarkModified();
  return PasswordResult::Stored;
}

bool DeletePartitionPassword(WorkingCopy& workingCopy, const ObjectRef& entry, CPrompt& prompt) {
  const auto target = RequireMenuEntry(workingCopy, entry, prompt);
  if (!target) return false;
  CPartition& object = *target->object;
  if (object.passwordSet) {
    object.passwordSlot = {};
    object.passwordSet = false;
    target->disk->MarkModified();
  }
  return true;
}

PasswordResult SetFloppyPassword(WorkingCopy& workingCopy, FloppyDrive drive, const std::string& password,
                                 const std::string& repetition, CPrompt& prompt) {
  const auto disks = EngineDisks(workingCopy);
  if (disks.empty()) {
    prompt.Message(text::kNoEngineAnywhere, PromptIcon::Stop);
    return PasswordResult::Refused;
  }
  if (const auto refusal = CheckPassword(password, repetition, prompt)) return *refusal;
  for (CHardDisk* disk : disks) {
    // Each disk with its own key; the last byte of a floppy slot keeps what it held.
    const auto stored = EncodePassword(disk->engineArea, password);
    std::copy_n(stored.begin(), kMaxPasswordLength, FloppySlot(*disk, drive));
    disk->MarkModified();
  }
  return PasswordResult::Stored;
}

bool DeleteFloppyPassword(WorkingCopy& workingCopy, FloppyDrive drive, CPrompt& prompt) {
  const auto disks = EngineDisks(workingCopy);
  if (disks.empty()) {
    prompt.Message(text::kNoEngineAnywhere, PromptIcon::Stop);
    return false;
  }
  for (CHardDisk* disk : disks) {
    std::fill_n(FloppySlot(*disk, drive), layout::CONST_PASSWORD_SLOT_SIZE, std::uint8_t{0});
    disk->MarkModified();
  }
  return true;
}

bool FloppyPasswordSet(const WorkingCopy& workingCopy, FloppyDrive drive) {
  const auto disks = EngineDisks(workingCopy);
  return !disks.empty() && FloppySlot(*disks.front(), drive)[0] != 0;
}

}  // namespace korvex
