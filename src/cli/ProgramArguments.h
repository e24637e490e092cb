#pragma once
// The command line of korvex-cli: the global options before the command, the command and its
// arguments.
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace korvex {

// What a run asks for besides a command.
enum class Request { Command, Help, Version };

// The arguments after the program's name. Global options (--disk SPEC, --disk=SPEC, --demo,
// --yes, --restart, --help, --version) come before the command; nothing after reporting an
// unknown option, or when no command follows.
std::optional<Request> ParseProgramArguments(const std::vector<std::string>& arguments, CliOptions& options);

}  // namespace korvex
