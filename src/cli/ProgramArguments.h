#pragma once
// The command line of korvex-cli: the global options before the command, the command and its
// arguments.
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace korvex {

inline constexpr const char* kDryRun = "--dry-run";

// What a run asks for besides a command.
enum class Request { Command, Help, Version };

// The arguments after the program's name. Global options (--disk SPEC, --disk=SPEC, --demo,
// --yes, --restart, --dry-run, --json, --help, --version) come before the command; --dry-run
// may follow it too. Nothing after reporting an unknown option or --json without --dry-run, or
// when no command follows.
std::optional<Request> ParseProgramArguments(const std::vector<std::string>& arguments, CliOptions& options);

}  // namespace korvex
