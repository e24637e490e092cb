#include "disk/FormatSize.h"

#include "platform/StringFormat.h"

namespace korvex {
namespace {

float ValueIn(float bytes, SizeUnit unit) {
  switch (unit) {
    case SizeUnit::TB: return bytes / 1099511627776.0f;
    case SizeUnit::GB: return bytes / 1073741824.0f;
    case SizeUnit::MB: return bytes / 1048576.0f;
    default: return bytes / 1024.0f;
  }
}

const char* UnitText(SizeUnit unit) {
  switch (unit) {
    case SizeUnit::TB: return "TB";
    case SizeUnit::GB: return "GB";
    case SizeUnit::MB: return "MB";
    default: return "kB";
  }
}

}  // namespace

SizeInUnit SizeParts(std::uint64_t bytes, SizeUnit unit) {
  const auto value = static_cast<float>(bytes);
  if (unit == SizeUnit::Automatic) {
    unit = SizeUnit::KB;
    for (SizeUnit candidate : {SizeUnit::TB, SizeUnit::GB, SizeUnit::MB}) {
      if (ValueIn(value, candidate) >= 1.0f) {
        unit = candidate;
        break;
      }
    }
  }
  return SizeInUnit{ValueIn(value, unit), unit, UnitText(unit)};
}

std::string FormatSize(std::uint64_t bytes) {
  const SizeInUnit parts = SizeParts(bytes);
  return StrFormat("%.2f %s", static_cast<double>(parts.value), parts.unitText.c_str());
}

}  // namespace korvex
