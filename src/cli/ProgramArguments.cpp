#include "cli/ProgramArguments.h"

namespace korvex {

std::optional<Request> ParseProgramArguments(const std::vector<std::string>& arguments, CliOptions& options) {
  std::size_t i = 0;
  for (; i < arguments.size() && arguments[i].starts_with('-'); ++i) {
    const std::string& option = arguments[i];
    if (option == "--help") {
      return Request::Help;
    } else if (option == "--version") {
      return Request::Version;
    } else if (option == "--disk" && i + 1 < arguments.size()) {
      options.diskSpecs.push_back(arguments[++i]);
    } else if (option.starts_with("--disk=")) {
      options.diskSpecs.push_back(option.substr(7));
    } else if (option == "--demo") {
      options.demo = true;
    } else if (option == "--yes") {
      options.assumeYes = true;
    } else if (option == "--restart") {
      options.restart = true;
    } else {
      PrintError("unbekannte Option: " + option);
      return std::nullopt;
    }
  }
  if (i == arguments.size()) return std::nullopt;
  options.command = arguments[i++];
  options.arguments.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
  return Request::Command;
}

}  // namespace korvex
