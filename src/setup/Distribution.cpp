#include "setup/Distribution.h"

#include <system_error>

#include "platform/ProgramSearch.h"
#include "platform/StringFormat.h"
#include "setup/SetupTexts.h"

namespace korvex::setup {

std::vector<std::string> MissingDistributionFiles(const std::filesystem::path& folder) {
  std::vector<std::string> missing;
  for (const char* name : kDistributionFiles) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(folder / name, ec)) missing.emplace_back(name);
  }
  return missing;
}

std::string IncompleteMessage(const std::vector<std::string>& missing) {
  std::string names;
  for (const auto& name : missing) names += (names.empty() ? "" : ",") + name;
  return StrFormat(text::kIncomplete, names.c_str()) + KORVEX_DOWNLOAD_PAGE;
}

std::filesystem::path DistributionFolder(const std::string& named) {
  std::error_code ec;
  if (!named.empty()) return std::filesystem::absolute(named, ec).lexically_normal();
  if (auto self = RunningProgramFolder(); !self.empty()) return self;
  return std::filesystem::current_path(ec);
}

}  // namespace korvex::setup
