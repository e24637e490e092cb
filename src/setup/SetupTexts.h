#pragma once
// The installer's own texts: its numbered messages, the lines of its dialogs' logs and the
// labels of its dialogs, German like the rest. "\r\n" in a log line is its line break; the
// dialogs show it as one. Texts with printf conversions are formatted by callers.

namespace korvex::setup::text {

// Numbered messages.
inline constexpr const char* kIncomplete =  // 1; %s = the missing names joined by ","
    "Ihre Installationsversion ist unvollständig und kann nicht ausgeführt werden.\nDie Dateie(n) %s fehlen.\n"
    "Sie finden eine vollständige Installationsversion unter\n\n";
inline constexpr const char* kCopyFailed =  // 7; %s = source, %s = target
    "Das Kopieren von %s nach %s ist fehlgeschlagen.\nDas Setup wird abgebrochen.";
inline constexpr const char* kRegistryFailed =  // 15
    "Der Zugriff auf die Registry ist fehlgeschlagen.\nInstallation nicht möglich.";
inline constexpr const char* kReallyAbort = "Wollen Sie wirklich die Installation von Korvex abbrechen?";  // 25
inline constexpr const char* kNoInstallation =  // 30, shown with its quotation marks
    "\"Kann keine Korvexinstallations entdecken\n\rDeinstallation nicht möglich!\"";
inline constexpr const char* kCannotDelete =  // 31; %s = path
    "Die Datei %s konnten icht geköscht werden\n\rmögliche Ursachen: Datei in Benutzung, Datei geschützt...";

// Our own refusal of an installation folder that cannot be one, before anything changes.
inline constexpr const char* kFolderNotAbsolute =  // %s = the entry
    "\"%s\" ist kein vollständiger Pfad.\nBitte geben Sie das Programmverzeichnis beginnend mit / oder ~ an.";

// Our own refusal of an uninstall whose folder holds no list of installed files.
inline constexpr const char* kNoManifest =  // %s = folder, %s = name of the list
    "In %s fehlt die Liste der installierten Dateien (%s).\nDort ist keine Installation von Korvex zu finden; es "
    "wird nichts gelöscht.";

// Install log.
inline constexpr const char* kLogCurrentFolder = "akt. Programmverzeichnis: ";
inline constexpr const char* kLogNextFolder = "\r\nakt. Programmverzeichnis: ";
inline constexpr const char* kLogMakeFolders = "\r\nerzeuge Verzeichnisse";
inline constexpr const char* kLogCopy = "\r\nkopiere ";
inline constexpr const char* kLogCopyTo = "\r\n\tnach ";
inline constexpr const char* kLogCopyFailed = "\r\nFehler beim Kopieren der Dateien.";
inline constexpr const char* kLogCopyCauses =
    "\r\nMögliche Ursachen: Zielmedium voll oder defekt, Quellmedium beschädigt, unvollständiges Setup.";
inline constexpr const char* kLogSetRegistry = "\r\nsetze Registrywerte";
inline constexpr const char* kLogRegistryFailed = "\r\nRegistry kann nicht gesetzt werden.";
inline constexpr const char* kLogRegistryCauses = "mögliche Ursachen: Fehlende Rechte, Zielmedium voll";
inline constexpr const char* kLogCatalogueKept = "\r\nvorhandene Partitionstypen bleiben erhalten";
inline constexpr const char* kLogMakeMenuEntry = "\r\nerzeuge Eintrag im Menü";
inline constexpr const char* kLogMenuEntryFailed =  // %s = path of the entry
    "\r\nDer Menüeintrag %s kann nicht angelegt werden.";
inline constexpr const char* kLogInstalled = "\r\nInstallation der Progammdateien beendet.";

// Uninstall log.
inline constexpr const char* kLogDelete = "\r\nlösche ";
inline constexpr const char* kLogChangedKept =  // %s = path
    "\r\n%s wurde seit der Installation verändert und bleibt erhalten.";
inline constexpr const char* kLogFolderDeleted = "Programmverzeichnis gelöscht!";
inline constexpr const char* kLogFolderKept =  // %s = folder
    "Verzeichnis %s kann nicht gelöscht werden.\r\nmögl. Ursache: Verzeichnis nicht leer!";
inline constexpr const char* kLogKeysDeleted = "\r\nRegistryeinträge gelöscht";
inline constexpr const char* kLogKeysKept = "\r\nRegistryeinträge können nicht gelöscht werden.";
inline constexpr const char* kLogUninstalled = "\r\nDeinstallationsvorgang beendet!";

// Dialogs.
inline constexpr const char* kMainTitle = "Korvex - Setup";
inline constexpr const char* kMainWelcome = "Willkommen beim Setup von Korvex, dem Bootmanager und Partitionierer.";
inline constexpr const char* kMainExplain =
    "Mit \"Installieren\" kopieren Sie die Programmdateien in ein Verzeichnis Ihrer Wahl, setzen die "
    "Registrywerte, übernehmen die Partitionstypen und legen einen Eintrag im Menü an.\n"
    "Mit \"Entfernen\" löschen Sie all das wieder.";
inline constexpr const char* kInstallButton = "&Installieren";
inline constexpr const char* kRemoveButton = "&Entfernen";
inline constexpr const char* kAbortSetup = "Setup a&bbrechen";
inline constexpr const char* kEndSetup = "Setup &beenden";
inline constexpr const char* kInstallTitle = "Installieren...";
inline constexpr const char* kInstallFolderLabel = "Programmverzeichnis:";
inline constexpr const char* kBrowseButton = "...";
inline constexpr const char* kChooseFolder = "Wählen Sie ein Verzeichnis";
inline constexpr const char* kCancelButton = "A&bbrechen";
inline constexpr const char* kDoneButton = "&Fertig";
inline constexpr const char* kUninstallTitle = "Deinstallieren...";
inline constexpr const char* kUninstallButton = "&Deinstallieren";
inline constexpr const char* kUninstallNote =
    "An dieser Stelle werden nur alle Programmdateien, sowie die dazu gehörigen Registry-Einträge entfernt.\r\n"
    "Die Installation der Bootengine muß mit dem Verwaltungsprogramm korvex vorgenommen werden.\r\n"
    "(siehe Dokumentation)";

// The start-menu entry.
inline constexpr const char* kMenuEntryComment = "Korvex Bootmanager";

}  // namespace korvex::setup::text
