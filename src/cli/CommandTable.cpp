#include "cli/Commands.h"

namespace korvex {

const std::vector<CliCommand>& CommandTable() {
  static const std::vector<CliCommand> table = {
      {"list", "list [--json]   die Arbeitskopie aller Festplatten anzeigen", true, RunList},
      {"tree", "tree   den Gerätebaum zeigen, wie das Programm ihn zeigt (mit den Objektnamen)", true, RunTree},
      {"save", "save [FESTPLATTE]   alle geänderten Festplatten speichern, oder nur eine", true, RunSave},
      {"registry", "registry import|ensure-catalogue DATEI.reg   eine .reg-Datei in die Registry übernehmen", false, RunRegistry},
      {"install-engine", "install-engine [FESTPLATTE] --entry N [N...] [--backup DATEI]   den Bootmanager installieren; N = 1..4 sind die ersten vier Objekte der primären Ebene (ohne --entry werden sie gezeigt)", true, RunInstallEngine},
      {"remove-engine", "remove-engine [FESTPLATTE] --mode empty|backup DATEI|keep [N...]   den Bootmanager entfernen; N = 1.. sind die Menüpartitionen in der Reihenfolge der Ebene", true, RunRemoveEngine},
      {"selftest", "selftest [FESTPLATTE] [--check-only]   den Bootmanager prüfen und Fehler beheben; Exit-Status 0, wenn der Test lief (auch mit gefundenen Fehlern)", true, RunSelfTest},
      {"backup", "backup export|import [FESTPLATTE] DATEI   Sektor 0 und 1 in eine Sicherungsdatei schreiben oder aus ihr laden", true, RunBackup},
      {"check", "check OBJEKT   Überschneidungen eines Objekts prüfen (\"Prüfen\")", true, RunCheck},
      {"derive", "derive OBJEKT --to-relative|--to-absolute [--start-chs Z/K/S] [--end-chs Z/K/S] [--start N] [--length N]   Positionen umrechnen", true, RunDerive},
      {"apply", "apply OBJEKT [--title T] [--type N] [--start-chs Z/K/S] [--end-chs Z/K/S] [--start N] [--length N]   Partitionswerte prüfen und übernehmen", true, RunApply},
      {"create", "create FREIER-BEREICH --type N [--size WERT --unit Byte|kByte|MByte|GByte] [--align cylinder|track|sector|mib] [--slot 1..4] [--menu] [--no-destructive]   Partition anlegen", true, RunCreate},
      {"delete", "delete OBJEKT   Partition oder logisches Laufwerk löschen", true, RunDelete},
      {"activate", "activate OBJEKT   Partition aktivieren", true, RunActivate},
      {"deactivate", "deactivate OBJEKT   Partition deaktivieren", true, RunDeactivate},
      {"menu", "menu add|remove|move|title|default|remember-last|timeout|autoboot|colors|screen ...   das Bootmenü einrichten oder sein Bild zeigen (\"menu\" ohne Argumente zeigt die Formen)", true, RunMenu},
      {"password", "password set|delete OBJEKT|A|B   Passwort eines Menüeintrags oder Diskettenlaufwerks setzen oder löschen", true, RunPassword},
      {"boot", "boot OBJEKT   den Rechner neu starten und diesen Menüeintrag direkt booten", true, RunBoot},
      {"cancel-boot", "cancel-boot [FESTPLATTE]   einen vorgemerkten direkten Start aufheben", true, RunCancelBoot},
      // The lost-partition search.
      {"scan", "scan FESTPLATTE [--json]   verlorene Partitionen suchen (\"Festplattenanalyse\"); Strg-C beendet die Suche", true, RunScan},
      {"adopt", "adopt FESTPLATTE SEKTOR [--type N]   ein gefundenes Dateisystem oder eine verlorene erweiterte Partition samt logischen Laufwerken übernehmen (\"Übernehmen\")", true, RunAdopt},
      {"sector", "sector FESTPLATTE SEKTOR   einen Sektor wie die Sektoransicht zeigen", true, RunSector},
      // Partition images: save and restore load the disks themselves, info and verify need none.
      {"image", "image save OBJEKT DATEI [--compress] [--split MB] [--threads N] | restore OBJEKT DATEI [--threads N] [--no-verify] | info DATEI | verify DATEI [--threads N]   Partitionsabbild erzeugen, laden, zeigen oder prüfen", false, RunImage},
  };
  return table;
}

const CliCommand* FindCommand(std::string_view name) {
  for (const auto& candidate : CommandTable()) {
    if (name == candidate.name) return &candidate;
  }
  return nullptr;
}

std::string CommandUsage(std::string_view command) {
  const CliCommand* entry = FindCommand(command);
  if (entry == nullptr) return "Aufruf: " + std::string(command);
  const std::string_view usage = entry->usage;
  return "Aufruf: " + std::string(usage.substr(0, usage.find("   ")));
}

}  // namespace korvex
