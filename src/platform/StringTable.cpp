#include "platform/StringTable.h"

#include <unordered_map>

namespace korvex {
namespace {

const std::unordered_map<unsigned, const char*>& Table() {
  static const std::unordered_map<unsigned, const char*> table = {
      {IDS_MENU_FULL_REMOVE,
       "Die Partitionstabelle ist voll.\nDas Entfernen dieser Partition aus dem Bootmenü bedeutet, "
       "daß diese Partition gelöscht werden wird.\nWollen Sie die Partition aus dem Menü entfernen?"},
      {IDS_NO_PARTITION_TYPES,
       "Keine Partitionstypen gefunden.\nSie haben Korvex nicht korrekt installiert oder Ihre Registry "
       "ist beschädigt."},
      {IDS_APPLY_CHANGES, "Sollen alle Änderungen übernommen werden?"},
      {IDS_STARTS_INSIDE, "Die Partition beginnt im Bereich der Partition"},
      {IDS_ENDS_INSIDE, "Die Partition endet im Bereich der Partition"},
      {IDS_NEW_TITLE, "Neu"},
      {IDS_NO_ERRORS, "Keine Fehler festgestellt"},
      {IDS_DISCARD_CHANGES, "Sie haben noch nicht gespeichert.\nWollen Sie alle Änderungen verlieren?"},
      {IDS_LOSE_LOGICAL_DRIVES,
       "Durch die Änderung des Partitionstyps verlieren Sie alle log. Laufwerke!\n Wollen Sie das?"},
      {IDS_START_MISMATCH, "Die absolute und die relative Startposition stimmen nicht überein!\n"},
      {IDS_END_MISMATCH, "Die absolute Endposition passt nicht zur Länge der Partition!\n"},
      {IDS_TYPE5_NOT_HERE, "Der Partitionstyp 5 ist an dieser Stelle nicht zulässig!\n"},
      {IDS_ERRORS_NO_SAVE, " Fehler. Speichern nicht möglich!\n"},
      {IDS_TYPE_CHANGE,
       "Durch die Änderung des Partitionstyps verlieren unter Umständen den Zugriff auf die Daten.\n"
       "Wollen Sie das?"},
      {IDS_ONE_TYPE5_PER_DISK, "Pro Festplatte ist nur ein Typ 5 Partition zulässig\n"},
      {IDS_LOGICAL_OUTSIDE, "Das logische Laufwerk liegt ganz oder außerhalb der erweiterten Partition\n"},
      {IDS_LOGICAL_TOO_BIG, "Das logische Laufwerk ist größer als die erweiterte Partition\n"},
      {IDS_GEOMETRY_MISMATCH,
       "Die Festplatte %d dieses PC´s und die Konfiguration im Arbeitsspeicher passen nicht "
       "zueinander./nDas Speichern der Konfiguration für diese Festplatte wird abgelehnt."},
      {IDS_RESTART_NOW, "Damit alle Änderungen aktiv werden, sollten Sie jetzt booten!\nWollen Sie jetzt booten?"},
      {IDS_REMEMBER_RESTART,
       "Bitte vergessen Sie nicht zu booten.\nEs könnte sonst zu ungewollten und unvorhersehbaren "
       "Nebeneffekten kommen."},
      {IDS_NO_PRIMARY_LEFT,
       "Sie haben keine primären Partitionen mehr.\nSie brauchen aber mindestens 1 Partition, damit "
       "Sie booten können!"},
      {IDS_LAST_BOOTED, "der zuletzt gebooteten Partition"},
      {IDS_COLUMN_ID, "Kennung"},
      {IDS_COLUMN_NAME, "Beschreibung"},
      {IDS_VALUE_COUNT, "Anzahl"},
      {IDS_VALUE_NAME, "Name"},
      {IDS_VALUE_ID, "Id"},
      {IDS_UNKNOWN_TYPE, "unbekannt"},
      {IDS_DUPLICATE_TYPE_NAME, ": Doppelte Partitionsbezeichnung"},
      {IDS_INVALID_TYPE_ID, ": Ungültige Partitionskennung"},
      {IDS_FREE_NODE, "%s frei"},
      {IDS_TYPE_NODE, "Typ %d  %s"},
      {IDS_TYPE5_NODE, "Typ 5 "},
      {IDS_STARTS_AT_SECTOR, "%s, die beim relativen Sektor %ld beginnt\n"},
      {IDS_DISK_LABEL, "%d.Festplatte"},
      {IDS_NO_RIGHTS,
       "Sie haben offenbar nicht die nötigen Systemrechte, um die Festplattenkonfiguration zu "
       "ändern.\nBitte melden Sie sich mit Administratorrechten an und versuchen Sie es dann erneut!"},
      {IDS_START_NOT_BEFORE_END, "Der Anfang der Partition liegt nicht vor dem Ende der Partition.\n"},
      {IDS_NO_SHUTDOWN_RIGHT, "Das System kann wegen mangelnder Berechtigung nicht angehalten werden!"},
      {IDS_NO_MENU_PARTITION,
       "Sie haben keine Partition ausgewählt, die ins Bootmenü aufgenommen werden soll!"},
      {IDS_NO_BACKUP_NAME,
       "Sie haben keinen Namen für eine Sicherungsdatei angelegt.\nEs kann keine Sicherung der "
       "ursprünglichen Zustandes des Masterbootrecords angelegt werden.\nWollen Sie das?"},
      {IDS_NO_BACKUP_FILE, "Sie haben keine Sicherungsdatei ausgewählt./nDer Vorgang wird abgebrochen!"},
      {IDS_BACKUP_CANNOT_OPEN, "Die Sicherungsdatei kann nicht geöffnet werden!\nDer Vorgang wird abgebrochen!"},
      {IDS_NOT_A_BACKUP, "Die gewählte Datei ist keine Sicherungsdatei!\nDer Vorgang wird abgebrochen!"},
      {IDS_TOO_MANY_TO_KEEP,
       "Sie wollen zuviele Partitionen übernehmen oder der Partitiontable ist bereits voll!"},
      {IDS_PASSWORDS_DIFFER, "Die eingegebenen Schlüsselworte sind nicht identisch"},
      {IDS_LOSE_COLOURS, "Sind Sie sicher, dass Sie alle Farbänderungen verlieren wollen?"},
      {IDS_MENU_COLOURS_EQUAL, "Vordergrund- und Hintergrundfarbe des Bootmenüs sind gleich!"},
      {IDS_BAR_COLOURS_EQUAL, "Vordergrund- und Hintergrundfarbe des Auswahlbalken sind gleich!"},
      {IDS_MENU_BAR_SAME, "Menü und Auswahlbalken haben die gleich Farbe!"},
      {IDS_START_BOOT, "Soll Korvex nun den Bootvorgang einleiten?"},
      {IDS_OVERLAP, "Diese Partition liegt ganz oder teilweise im Bereich einer anderen Partition\n"},
      {IDS_LOGICAL_CHAIN_BROKEN,
       "Es wurde ein schwerer Fehler in der Verwaltung der logischen Laufwerke entdeckt!\nBitte "
       "lesen dazu unbedingt die Erklärung in der Dokumentation nach!"},
      {IDS_EMPTY_BOOT_MENU,
       "Das Bootmenü der 1.Festplatte ist leer. Sie werden nicht von dieser Festplatte booten "
       "können. \nDas Speichern der Änderungen dieser Platte wird verweigert!"},
      {IDS_APP_TITLE, "korvex"},
      {IDS_RANGE, "Geben Sie bitte eine ganze Zahl zwischen %1 und %2 ein."},
      // Status-bar prompts of the window program's commands, under their command numbers.
      {32772, "Verwaltet die Namen aller Partitionstypen"},
      {32773, "Speichert die aktuelle Konfiguration auf den Festplatten"},
      {32774, "Läd die bestehende Konfiguration der Platten erneut ein"},
      {32780, "Überprüft die Bootengine auf Konsistenz und Virenbefall"},
      {32784, "Vorschau auf das Bootmenü"},
      {32785, "Partitions ins Bootmenü aufnehmen"},
      {32786, "Partition aus dem Bootmenü entfernen"},
      {32787, "Löscht die ausgewählte Partition"},
      {32790, "Legt im ausgewählten freien Bereich eine Partition an"},
      {32792, "Berechnet die relative Position aus der absoluten Position"},
      {32793, "Berechnet die absolute Position aus der relativen Position"},
      {32794, "Prüft, ob die Partition mit anderen Partitionen überlappt"},
      {32795, "Speichert die Konfiguration der ausgewählten Festplatte"},
      {32796, "Läd die Konfiguration der ausgewählten Festplatte erneut ein"},
      {32808, "Übernimmt die Eingaben des Formulars in die Konfiguration"},
      {32810, "Bootengine installieren oder deinstallieren"},
      {32811, "Markiert die Partition als aktiv"},
      {32812, "Nimmt der Partition die Markierung als aktiv"},
      {32813, "Partition mit einem Passwort schützen"},
      {32814, "Bootet die ausgewählte Partition"},
      {32816, "Passwort für das 1. Diskettenlaufwerk bearbeiten"},
      {32817, "Passwort für das 2. Diskettenlaufwerk bearbeiten"},
      {32818, "Bootet die ausgewählte Partition"},
      {32819, "Sucht auf der Festplatte nach verlorenen Partitionen"},
      {32821, "Schreibt die Partition in eine Abbilddatei"},
      {32822, "Schreibt eine Abbilddatei auf die Partition zurück"},
      {57643, "Nimmt die letzte Änderung der Konfiguration zurück"},
      {57644, "Stellt die zuletzt zurückgenommene Änderung wieder her"},
      {57664, "Zeigt Programminformationen, Versionsnummer und Copyright an"},
  };
  return table;
}

}  // namespace

std::string LoadResString(unsigned id) {
  const auto& table = Table();
  const auto it = table.find(id);
  return it == table.end() ? std::string() : std::string(it->second);
}

std::string FormatRangeMessage(long low, long high) {
  std::string text = LoadResString(IDS_RANGE);
  text.replace(text.find("%1"), 2, std::to_string(low));
  text.replace(text.find("%2"), 2, std::to_string(high));
  return text;
}

}  // namespace korvex
