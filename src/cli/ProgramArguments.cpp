#include "cli/ProgramArguments.h"

#include <algorithm>

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
    } else if (option == kDryRun) {
      options.dryRun = true;
    } else if (option == "--json") {
      options.json = true;
    } else {
      PrintError("unbekannte Option: " + option);
      return std::nullopt;
    }
  }
  if (i == arguments.size()) return std::nullopt;
  options.command = arguments[i++];
  options.arguments.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
  // --dry-run may also follow the command, where a user adds it to a command line at hand.
  const auto dryRun = std::remove(options.arguments.begin(), options.arguments.end(), kDryRun);
  options.dryRun = options.dryRun || dryRun != options.arguments.end();
  options.arguments.erase(dryRun, options.arguments.end());
  if (options.json && !options.dryRun) {
    PrintError("--json vor dem Befehl gilt nur mit --dry-run");
    return std::nullopt;
  }
  return Request::Command;
}

}  // namespace korvex
