// "adopt DISK SECTOR [--type N]" ("Übernehmen"): the volume that the search reports at SECTOR
// becomes a partition of the working copy again (a logical drive inside the extended
// partition, else a partition-table partition), with the type that fits its file system unless
// --type gives one; then the disk is saved.
#include <cstdio>

#include "analysis/AdoptHit.h"
#include "cli/ArgumentValues.h"
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "platform/Texts.h"

namespace korvex {

int RunAdopt(CliSession& session, const Arguments& arguments) {
  constexpr const char* kUsage = "Aufruf: adopt FESTPLATTE SEKTOR [--type N]";
  const bool typeGiven = arguments.size() == 4 && arguments[2] == "--type";
  if (arguments.size() != 2 && !typeGiven) {
    PrintError(kUsage);
    return kExitUsage;
  }
  const auto sector = ParseNumber(arguments[1], UINT64_MAX);
  const auto type = typeGiven ? ParseNumber(arguments[3], UINT8_MAX) : std::optional<std::uint64_t>();
  if (!sector || (typeGiven && !type)) {
    PrintError(kUsage);
    return kExitUsage;
  }
  CHardDisk* disk = SelectDisk(session, arguments[0]);
  if (disk == nullptr) return kExitUsage;
  const auto hit = HitAtSector(*disk, *sector);
  if (!hit) {
    session.prompt().Message(text::kAdoptNoVolume, PromptIcon::Stop);
    return kExitFailed;
  }
  const std::optional<std::uint8_t> chosenType =
      type ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(*type)) : std::nullopt;
  const CPartition* adopted = AdoptHit(*disk, *hit, chosenType, session.prompt());
  if (adopted == nullptr) return kExitFailed;
  const bool logical = disk->logical.KeyOf(adopted) != 0;
  std::printf("%u:%c@%u  Länge %u  Typ %u\n", static_cast<unsigned>(disk->DeviceNumber()), logical ? 'l' : 'p',
              adopted->start, adopted->length, static_cast<unsigned>(adopted->type));
  return SaveChanges(session);
}

}  // namespace korvex
