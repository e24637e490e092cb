#include "cli/Commands.h"

namespace korvex {

const std::vector<CliCommand>& CommandTable() {
  static const std::vector<CliCommand> table = {
      {"list", "list [--json]   die Arbeitskopie aller Festplatten anzeigen", true, RunList},
      {"save", "save [FESTPLATTE]   alle geänderten Festplatten speichern, oder nur eine", true, RunSave},
      {"registry", "registry import|ensure-catalogue DATEI.reg   eine .reg-Datei in die Registry übernehmen", false, RunRegistry},
  };
  return table;
}

}  // namespace korvex
