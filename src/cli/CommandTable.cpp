#include "cli/Commands.h"

namespace korvex {

const std::vector<CliCommand>& CommandTable() {
  static const std::vector<CliCommand> table = {
      {"list", "list [--json]                 the working copy of every disk", true, RunList},
      {"registry", "registry import DATEI.reg    a .reg file into the user's registry store", false, RunRegistry},
  };
  return table;
}

}  // namespace korvex
