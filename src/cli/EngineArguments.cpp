#include "cli/EngineArguments.h"

#include "cli/ArgumentValues.h"
#include "cli/ObjectSelector.h"

namespace korvex {
namespace {

bool IsOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

}  // namespace

std::optional<std::vector<unsigned>> TakeChoiceNumbers(const Arguments& arguments, std::size_t& next, unsigned max,
                                                      const std::string& option) {
  std::vector<unsigned> indices;
  for (; next < arguments.size() && !IsOption(arguments[next]); ++next) {
    const auto number = ParseNumber(arguments[next], max);
    if (!number || *number == 0) {
      PrintError(option + ": \"" + arguments[next] + "\" ist keine Nummer von 1 bis " + std::to_string(max));
      return std::nullopt;
    }
    indices.push_back(static_cast<unsigned>(*number - 1));
  }
  return indices;
}

CHardDisk* SelectEngineDisk(CliSession& session, const Arguments& arguments, std::size_t& next) {
  const bool named = next < arguments.size() && !IsOption(arguments[next]);
  return SelectDisk(session, named ? arguments[next++] : "0");
}

}  // namespace korvex
