#include "shell/ShippedCatalogue.h"

#include <system_error>

#include "parttypes/PartTypeCatalogue.h"
#include "platform/StringFormat.h"
#include "platform/Texts.h"

namespace korvex {

std::vector<std::filesystem::path> ShippedCataloguePlaces(const std::filesystem::path& programFolder) {
  return {(programFolder / ".." / "share" / "korvex" / "parts.reg").lexically_normal(),
          (programFolder / "parts.reg").lexically_normal()};
}

bool EnsureShippedCatalogue(RegistryStore& store, const std::filesystem::path& programFolder, std::string& error) {
  if (HasPartTypeCatalogue(store)) return true;
  const auto places = ShippedCataloguePlaces(programFolder);
  for (const auto& place : places) {
    std::error_code ec;
    if (!std::filesystem::exists(place, ec)) continue;
    std::string importError;
    if (ImportRegFile(store, place, importError) && HasPartTypeCatalogue(store)) return true;
    // A file that holds no catalogue is as unusable as one that cannot be read.
    if (importError.empty()) importError = place.string() + ": keine Partitionstypen";
    error = StrFormat(text::kShippedCatalogueUnusable, importError.c_str()) + "\n" + text::kHowToImportCatalogue;
    return false;
  }
  error = StrFormat(text::kShippedCatalogueMissing, places[0].c_str(), places[1].c_str()) + "\n" +
          text::kHowToImportCatalogue;
  return false;
}

}  // namespace korvex
