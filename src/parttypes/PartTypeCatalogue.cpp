#include "parttypes/PartTypeCatalogue.h"

#include "platform/StringTable.h"

namespace korvex {

bool HasPartTypeCatalogue(const RegistryStore& registry) {
  return RegReadDword(registry, RegRoot::CurrentUser, kPartTypesKey, LoadResString(IDS_VALUE_COUNT), 0) != 0;
}

}  // namespace korvex
