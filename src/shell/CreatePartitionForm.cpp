#include "shell/CreatePartitionForm.h"

#include "disk/FormatSize.h"

namespace korvex {
namespace {

constexpr std::uint8_t kTypeExtended = 5;

}  // namespace

ProposedSize ProposedCreateSize(const CPartition& freeArea) {
  const std::uint64_t bytes = std::uint64_t{freeArea.length} * kSectorSize;
  SizeInUnit size = SizeParts(bytes);
  // The unit box ends at GByte: an area of a terabyte or more is offered in GByte.
  if (size.unit == SizeUnit::TB) size = SizeParts(bytes, SizeUnit::GB);
  const CreateUnit unit = size.unit == SizeUnit::GB   ? CreateUnit::GByte
                          : size.unit == SizeUnit::MB ? CreateUnit::MByte
                                                      : CreateUnit::KByte;
  return {size.value, unit};
}

const std::vector<std::string>& CreateUnitNames() {
  static const std::vector<std::string> names = {"Byte", "kByte", "MByte", "GByte"};
  return names;
}

CreateControlStates CreateControls(const CHardDisk& disk, bool isLogical, const CreateChoices& choices) {
  CreateControlStates states;
  states.sizeControls = choices.partial;
  states.menuBox = !isLogical && MenuCanTakeEntry(disk) && choices.type != kTypeExtended;
  states.placeRadios = !isLogical && !(states.menuBox && choices.toMenu);
  states.slotBox = states.placeRadios && choices.atPosition;
  return states;
}

}  // namespace korvex
