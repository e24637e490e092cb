#pragma once
// The program's fixed texts that carry no string-table number, and the messages of our own
// checks, all German like the rest. Texts with printf conversions are formatted by callers.

namespace korvex::text {

// Boot engine installation and removal.
inline constexpr const char* kBackupCannotCreate = "Kann Sicherungsdatei nicht öffnen\nVorgang abgebrochen!";
inline constexpr const char* kNoBootPartitionChosen =
    "Sie haben keine Partition als BootPartition gewählt.\nDer Bootmanager kann nicht installiert werden";
inline constexpr const char* kEngineInstalled = "Der Bootmanager ist nun angelegt und wird nach dem Sichern aktiv";
inline constexpr const char* kEngineRemoved = "Der Bootmanager ist nun entfernt!\nDiese Änderung wird nach dem Sichern aktiv";

// Boot engine installation and removal: our own refusals and questions, before anything changes.
inline constexpr const char* kEngineAlreadyInstalled =
    "Auf dieser Festplatte ist der Bootmanager bereits installiert.\nEntfernen Sie ihn zuerst, wenn Sie ihn neu "
    "installieren wollen.";
inline constexpr const char* kNoEngineInstalled = "Auf dieser Festplatte ist kein Bootmanager installiert.";
inline constexpr const char* kGptUnchanged =  // %s = device name
    "%s ist eine GPT-Festplatte (Schutzeintrag vom Typ EEh).\nKorvex verändert GPT-Festplatten nicht; der Vorgang "
    "wird abgebrochen.";
inline constexpr const char* kChoiceNotBootable =  // %u = choice 1..4
    "Die Auswahl %u ist keine startbare Partition (freier Bereich, erweiterte Partition oder nicht vorhanden).\n"
    "Der Bootmanager wird nicht installiert.";
inline constexpr const char* kBootSlotNoRoom =  // %u = relative sector
    "Die Partition beim relativen Sektor %u bleibt in der Partitionstabelle, aber deren Eintrag 2 gehört dann dem "
    "Bootmanager und kein anderer Eintrag ist frei.\nNehmen Sie auch diese Partition ins Bootmenü auf.\n"
    "Der Bootmanager wird nicht installiert.";
inline constexpr const char* kBootSlotMoved =  // %u = relative sector, %u = new entry 1..4
    "Die Partition beim relativen Sektor %u steht nun im Eintrag %u der Partitionstabelle, weil Eintrag 2 dem "
    "Bootmanager vorbehalten ist.";
inline constexpr const char* kForeignTrackData =
    "Die Sektoren 1 bis 7 dieser Festplatte enthalten Daten, die nicht vom Korvex-Bootmanager stammen (zum Beispiel "
    "einen anderen Bootlader).\nDie Sicherungsdatei nimmt nur die Sektoren 0 und 1 auf; der Rest dieser Daten geht "
    "beim Sichern verloren.\nWollen Sie den Bootmanager trotzdem installieren?";
inline constexpr const char* kBackupTooShort =  // %u = length of the file in bytes
    "Die gewählte Datei ist mit %u Bytes zu kurz für eine Sicherungsdatei (1024 Bytes).\nDer Vorgang wird "
    "abgebrochen!";
inline constexpr const char* kBackupKeepsEngine =
    "Die Sicherungsdatei enthält selbst den Bootmanager.\nEr bleibt nach dem Sichern installiert.";
inline constexpr const char* kKeepChoiceInvalid =  // %u = choice 1..12
    "Die Auswahl %u ist keine Partition des Bootmenüs.\nDer Vorgang wird abgebrochen!";

// Self test report: the verdicts and lines of each run.
inline constexpr const char* kSelfTestStart = "Beginne Selbsttest ";
inline constexpr const char* kSelfTestCheckOnly = "ohne Fehlerkorrektur:\r\n";
inline constexpr const char* kSelfTestRepair = "und korregiere gegebenenfalls Fehler\r\n";
inline constexpr const char* kSelfTestLoader = "Bootstraploader ... ";
inline constexpr const char* kSelfTestMessages = "Meldungen ...";
inline constexpr const char* kSelfTestSignature = "Signatur ... ";
inline constexpr const char* kSelfTestMenuTable = "Boottabellen ... ";
inline constexpr const char* kSelfTestPartitionTable = "Datentabellen ... ";
inline constexpr const char* kSelfTestOk = "Ok!";
inline constexpr const char* kSelfTestBad = "mit Fehlern!";
inline constexpr const char* kSelfTestFixed = " ... Korregiert!";
inline constexpr const char* kSelfTestDisaster = "Katastrophenwiederherstellung durchgeführt!";
inline constexpr const char* kSelfTestCount = "%d Fehler gefunden!";

// Creating and deleting partitions.
inline constexpr const char* kTableFull =
    "Die Partitionstabelle für diese Festplatte ist voll.\nDas Anlegen einer neuen Partition ist daher nicht möglich!";
inline constexpr const char* kLogicalNotExtended =
    "Ein logisches Laufwerk kann nicht vom Typ 5 (Erweitert) oder Typ 15 (Erweitert+BIOS) sein";
inline constexpr const char* kSizeNotPositive = "Die Größenangabe eine Partition muß positiv sein.";
inline constexpr const char* kSizeTooLarge = "Die gewählte Größe überschreitet den vorhandenen Platz";
inline constexpr const char* kSizeNotANumber = "Die Größenangabe einer Partition muß eine Zahl sein.";
inline constexpr const char* kDeleteExtended =
    "Sie wollen eine erweiterte Partition mit logischen Laufwerken löschen\nWenn Sie dies tun, werden Sie die "
    "logischen Laufwerke verlieren\nWollen Sie das?";
inline constexpr const char* kDeletePartition = "Wollen Sie diese Partition wirklich löschen?";

// Creating, deleting, activating: our own refusals where the working copy would otherwise hold
// a partition that cannot be written or would lose data.
inline constexpr const char* kObjectGone =
    "Das gewählte Objekt gibt es nicht mehr: es wurde gelöscht oder die Festplatte neu eingelesen.";
inline constexpr const char* kNotAFreeArea = "Eine Partition kann nur in einem freien Bereich angelegt werden.";
inline constexpr const char* kPartitionTooSmall =
    "Die neue Partition hätte weniger als zwei Sektoren (ein logisches Laufwerk: hinter seinem EBR-Bereich).\n"
    "Bitte wählen Sie eine größere Angabe oder einen größeren freien Bereich.";
inline constexpr const char* kNoFreeTableEntry =
    "In der Partitionstabelle dieser Festplatte ist kein Eintrag mehr frei.\n"
    "Nehmen Sie die Partition ins Bootmenü auf oder löschen Sie zuerst eine andere Partition.";
inline constexpr const char* kTableEntryTaken = "Der Eintrag %u der Partitionstabelle ist nicht frei.";  // %u = 1..4
inline constexpr const char* kTableEntryOnlyForTable =
    "Einen Eintrag der Partitionstabelle erhält nur eine Partition der Partitionstabelle, kein Menüeintrag und kein "
    "logisches Laufwerk.";
inline constexpr const char* kSecondExtended =
    "Pro Festplatte ist nur eine erweiterte Partition (Typ 5 oder 15) zulässig\n";
inline constexpr const char* kType15NotHere = "Der Partitionstyp 15 ist an dieser Stelle nicht zulässig!\n";
inline constexpr const char* kMenuUnavailable =
    "Diese Festplatte hat keinen Bootmanager oder ihr Bootmenü hat schon 12 Einträge.\n"
    "Die Partition kann nicht ins Bootmenü aufgenommen werden.";
inline constexpr const char* kLogicalNotInMenu = "Ein logisches Laufwerk kann nicht ins Bootmenü aufgenommen werden.";
inline constexpr const char* kChainFull =  // %zu = most records
    "Die Kette der logischen Laufwerke ist voll: beim Einlesen werden höchstens %zu erweiterte Bootsektoren (EBR) "
    "gelesen.\nEin weiteres logisches Laufwerk ist in dieser erweiterten Partition nicht möglich.";
inline constexpr const char* kSpaceNotAddressable =  // %llu = first sector
    "Der Bereich ab Sektor %llu reicht über Sektor 4294967295 hinaus, den letzten, den eine Partitionstabelle "
    "angeben kann.";
inline constexpr const char* kFreeAreaNotDeletable = "Ein freier Bereich kann nicht gelöscht werden.";
inline constexpr const char* kNotATablePartition =
    "Nur Partitionen der Partitionstabelle können aktiviert oder deaktiviert werden.";
inline constexpr const char* kActivationWithEngine =
    "Auf einer Festplatte mit Bootmanager bestimmt das Bootmenü, welche Partition startet.\nEine Partition kann "
    "hier weder aktiviert noch deaktiviert werden.";
inline constexpr const char* kAlreadyActive =
    "Auf dieser Festplatte ist bereits eine Partition aktiv.\nDeaktivieren Sie diese zuerst.";
inline constexpr const char* kExtendedNotActivatable = "Eine erweiterte Partition kann nicht aktiviert werden.";
inline constexpr const char* kNotActive = "Diese Partition ist nicht aktiv.";

// Position checks of the partition form: our own findings, one report line each (the type-0
// line also refuses a creation).
inline constexpr const char* kBeyondDiskEnd = "Die Partition reicht über das Ende der Festplatte hinaus!\n";
inline constexpr const char* kLogicalWithoutData =
    "Das logische Laufwerk hat hinter seinem EBR-Bereich keinen Platz für Daten!\n";
inline constexpr const char* kTypeZeroLine = "Der Partitionstyp 0 kennzeichnet einen unbenutzten Eintrag!\n";
inline constexpr const char* kNotAddressableLine =
    "Die Partition reicht über Sektor 4294967295 hinaus, den letzten, den eine Partitionstabelle angeben kann!\n";
// "Prüfen": the lead of a line for a partition wholly inside the checked one, like 33449 and 33450.
inline constexpr const char* kEnclosesPartition = "Die Partition umschließt die Partition";
inline constexpr const char* kFreeAreaNotCheckable =
    "Geprüft werden nur Partitionen und logische Laufwerke, kein freier Bereich.";

// The hex sector view ("Sektoransicht") and the boot menu preview: our own refusals.
inline constexpr const char* kPasteTooLarge =  // %zu = capacity, bytes on the clipboard, resulting length
    "Die Sektoransicht kann höchstens %zu Bytes aufnehmen; mit den %zu Bytes aus der Zwischenablage wären es %zu.\n"
    "Es wird nichts eingefügt.";
inline constexpr const char* kFontUnreadable = "Die Konsolenschrift %s kann nicht gelesen werden.";  // %s = path
inline constexpr const char* kFontDamaged =  // %s = path, %s = one of the details below
    "Die Konsolenschrift %s ist keine brauchbare PSF-Schrift: %s.";
inline constexpr const char* kFontNoMagic = "unbekannte Dateikennung";
inline constexpr const char* kFontBadGzip = "die gzip-Daten sind beschädigt";
inline constexpr const char* kFontTooLarge = "die Datei ist zu groß";
inline constexpr const char* kFontBadHeader = "der Kopf nennt unmögliche Glyphengrößen oder -zahlen";
inline constexpr const char* kFontTruncated = "die Datei endet vor dem Ende ihrer Glyphen";
inline constexpr const char* kFontNoUnicode = "sie hat keine Unicode-Tabelle";
inline constexpr const char* kFontBadUnicode = "ihre Unicode-Tabelle ist beschädigt";
inline constexpr const char* kNoPreviewFont =
    "Keine Konsolenschrift für die Vorschau gefunden (die VGA-Schrift FullGreek-VGA16 des Pakets "
    "console-setup-linux unter /usr/share/consolefonts).";
inline constexpr const char* kMenuEmpty = "Das Bootmenü hat keine Einträge.";
inline constexpr const char* kImageCannotWrite = "Die Bilddatei %s kann nicht geschrieben werden.";  // %s = path

// Saving: our own checks before anything is written (%s = device name, %u = sector).
inline constexpr const char* kWriteFailed =
    "Schreibfehler auf %s (%s) bei Sektor %u.\nDie Änderungen dieser Festplatte sind nicht vollständig gespeichert; "
    "die Festplatte bleibt als geändert markiert.";
inline constexpr const char* kGptRefused =
    "%s ist eine GPT-Festplatte (Schutzeintrag vom Typ EEh).\nKorvex schreibt nicht auf GPT-Festplatten, "
    "damit deren GPT-Kopfsektor erhalten bleibt. Das Speichern wird abgelehnt.";
inline constexpr const char* kSlotCollision =
    "%s: Die Partitionen bei den relativen Sektoren %u und %u belegen denselben Eintrag %u der "
    "Partitionstabelle.\nDas Speichern wird abgelehnt, damit keine Partition verloren geht.";
inline constexpr const char* kSlotInvalid =
    "%s: Die Partition beim relativen Sektor %u hat keinen freien Eintrag in der Partitionstabelle.\n"
    "Das Speichern wird abgelehnt, damit keine Partition verloren geht.";
inline constexpr const char* kMenuTooLong =
    "%s: Das Bootmenü hat mehr als 12 Einträge.\nDas Speichern wird abgelehnt.";
inline constexpr const char* kLogicalOutsideRefused =
    "%s: Das logische Laufwerk beim relativen Sektor %u liegt außerhalb der erweiterten Partition.\n"
    "Das Speichern wird abgelehnt.";
inline constexpr const char* kOverlapRefused =  // %s = device name, %u = relative sectors of the two partitions
    "%s: Die Partitionen bei den relativen Sektoren %u und %u überschneiden sich.\nDas Speichern wird abgelehnt, "
    "damit keine von beiden überschrieben wird. Ändern oder löschen Sie zuerst eine der beiden.";
inline constexpr const char* kNotAddressableRefused =  // %s = device name, %u = relative sector
    "%s: Die Partition beim relativen Sektor %u reicht über Sektor 4294967295 hinaus, den letzten, den eine "
    "Partitionstabelle angeben kann.\nDas Speichern wird abgelehnt.";
inline constexpr const char* kChainBrokenRefused =  // %s = device name
    "%s: Die Kette der logischen Laufwerke konnte nicht ganz gelesen werden.\nDiese Festplatte wird nicht "
    "gespeichert, damit die nicht gelesenen logischen Laufwerke nicht verloren gehen.";
inline constexpr const char* kChainTooLongRefused =  // %s = device name, %zu = records, %zu = most records
    "%s: Die Kette der logischen Laufwerke hätte %zu erweiterte Bootsektoren (EBR); beim Einlesen werden höchstens "
    "%zu gelesen.\nDas Speichern wird abgelehnt.";
inline constexpr const char* kRestartForTable =
    "%s wird gerade benutzt; der Kern liest die neue Partitionstabelle erst nach einem Neustart.";
inline constexpr const char* kFlushFailed =
    "%s: Die geschriebenen Daten konnten nicht auf den Datenträger gebracht werden (fsync).";

// The changes a save writes, one line each, derived from the disk as read and the working copy
// now. %s = the object ("Partition ab Sektor 2048, 1. Festplatte") or the disk ("1. Festplatte").
inline constexpr const char* kPendingDisk = "%u. Festplatte";  // %u = device number + 1
inline constexpr const char* kPendingPartition = "Partition";
inline constexpr const char* kPendingLogical = "Logisches Laufwerk";
inline constexpr const char* kPendingObject = "%s ab Sektor %u, %s";  // kind, data start, disk
// Type, its name from the catalogue, size, data start.
inline constexpr const char* kPendingNamedDescription = "Typ %u (%s), %s ab Sektor %u";
inline constexpr const char* kPendingDescription = "Typ %u, %s ab Sektor %u";
inline constexpr const char* kPendingCreate = "%s anlegen: %s (%s)";  // kind, description, disk
// A new partition whose first sectors are kept: what lies there becomes its content.
inline constexpr const char* kPendingTakeOver = "%s übernehmen: %s (%s)";
inline constexpr const char* kPendingDelete = "%s löschen: %s (%s)";
inline constexpr const char* kPendingType = "Typ ändern: %u → %u (%s)";
inline constexpr const char* kPendingPosition = "Position ändern: ab Sektor %u, %u Sektoren → ab Sektor %u, %u Sektoren (%s)";
inline constexpr const char* kPendingTableEntry = "Eintrag in der Partitionstabelle: %u → %u (%s)";
inline constexpr const char* kPendingActivate = "Aktivieren (%s)";
inline constexpr const char* kPendingDeactivate = "Deaktivieren (%s)";
inline constexpr const char* kPendingBootSector = "Bootsektor aus der Sicherungskopie schreiben: Sektor %u (%s)";
inline constexpr const char* kPendingEngineInstall = "Bootmanager installieren (%s)";
inline constexpr const char* kPendingEngineRemove = "Bootmanager entfernen (%s)";
inline constexpr const char* kPendingEngineRepair = "Bootmanager reparieren (%s)";
inline constexpr const char* kPendingBootCode = "Startprogramm in Sektor 0 ersetzen (%s)";
inline constexpr const char* kPendingMenuAdd = "Bootmenü: '%s' aufnehmen (%s)";
inline constexpr const char* kPendingMenuRemove = "Bootmenü: '%s' entfernen (%s)";
inline constexpr const char* kPendingMenuTitle = "Bootmenü: Titel '%s' → '%s' (%s)";
inline constexpr const char* kPendingMenuOrder = "Bootmenü: Reihenfolge %s → %s (%s)";  // 'A', 'B' → 'B', 'A'
inline constexpr const char* kPendingMenuDefault = "Bootmenü: Standardeintrag %s → %s (%s)";
inline constexpr const char* kPendingLastBooted = "zuletzt gestartete Partition";
inline constexpr const char* kPendingNoDefault = "keiner";
inline constexpr const char* kPendingTimeout = "Bootmenü: Wartezeit %u → %u Sekunden (%s)";
inline constexpr const char* kPendingAutoBoot = "Bootmenü: automatischer Start %s → %s (%s)";
inline constexpr const char* kPendingOn = "ein";
inline constexpr const char* kPendingOff = "aus";
inline constexpr const char* kPendingColours = "Bootmenü: Farben ändern (%s)";
inline constexpr const char* kPendingPasswordSet = "Passwort setzen: '%s' (%s)";
inline constexpr const char* kPendingPasswordChange = "Passwort ändern: '%s' (%s)";
inline constexpr const char* kPendingPasswordDelete = "Passwort löschen: '%s' (%s)";
inline constexpr const char* kPendingFloppySet = "Passwort für das %u. Diskettenlaufwerk setzen (%s)";
inline constexpr const char* kPendingFloppyChange = "Passwort für das %u. Diskettenlaufwerk ändern (%s)";
inline constexpr const char* kPendingFloppyDelete = "Passwort für das %u. Diskettenlaufwerk löschen (%s)";
inline constexpr const char* kPendingDirectBootCancel = "Direkten Start aufheben (%s)";
inline constexpr const char* kPendingOther = "Weitere Änderungen (%s)";
// "Speichern" shows the lines before anything is written; "Nein" is the default.
inline constexpr const char* kPendingConfirm = "Diese Änderungen werden geschrieben:\n%s\nJetzt speichern?";
inline constexpr const char* kPendingMore = "… und %zu weitere";
// The window program: the pane, its entry in "Ansicht" and the status bar.
inline constexpr const char* kPendingPaneTitle = "Ausstehende Änderungen";
inline constexpr const char* kPendingCountOne = "1 Änderung ausstehend";
inline constexpr const char* kPendingCount = "%zu Änderungen ausstehend";
// korvex-cli --dry-run.
inline constexpr const char* kDryRunNothing = "Keine Änderungen.";
inline constexpr const char* kDryRunDone = "Probelauf: nichts wurde geschrieben.";

// Boot menu configuration, passwords and the direct boot: our own refusals and reports.
inline constexpr const char* kNoEngineOnDisk = "%s: Der Bootmanager ist auf dieser Festplatte nicht installiert.";
inline constexpr const char* kNoEngineAnywhere = "Auf keiner Festplatte ist der Bootmanager installiert.";
inline constexpr const char* kMenuHasTwelve =
    "Das Bootmenü hat bereits 12 Einträge.\nDie Partition kann nicht ins Bootmenü aufgenommen werden.";
inline constexpr const char* kOnlyTableToMenu =
    "Nur eine nicht aktive Partition der Partitionstabelle kann ins Bootmenü aufgenommen werden.";
inline constexpr const char* kExtendedNotInMenu = "Eine erweiterte Partition kann nicht ins Bootmenü aufgenommen werden.";
inline constexpr const char* kNotAMenuEntry = "Diese Partition ist kein Eintrag des Bootmenüs.";
inline constexpr const char* kMenuPositionInvalid =
    "Die Position %u gibt es im Bootmenü nicht; es hat die Positionen 0 bis %u.";
inline constexpr const char* kMenuEntryAtTop = "Der Eintrag steht bereits ganz oben im Bootmenü.";
inline constexpr const char* kMenuEntryAtBottom = "Der Eintrag steht bereits ganz unten im Bootmenü.";
inline constexpr const char* kTimeoutTooLong =  // %u = the longest countdown, the seconds given
    "Die Wartezeit darf höchstens %u Sekunden betragen (%u Sekunden angegeben).";
inline constexpr const char* kColourOutOfRange =
    "Hintergrundfarben gehen von 0 bis 7, Vordergrundfarben von 0 bis 15.";
inline constexpr const char* kTitleTooLong = "Der Titel darf höchstens 40 Zeichen lang sein.";
inline constexpr const char* kTitleControlCharacter =
    "Der Titel enthält ein Steuerzeichen, das der Bootmanager nicht anzeigen kann.";
inline constexpr const char* kPasswordTooLong = "Das Passwort darf höchstens 15 Zeichen lang sein.";
inline constexpr const char* kPasswordCharacters =
    "Das Passwort enthält Zeichen, die beim Start an der Passwortabfrage nicht eingegeben werden können.\n"
    "Erlaubt sind Buchstaben ohne Umlaute, Ziffern, das Leerzeichen und die Satzzeichen von ! bis ~.";
inline constexpr const char* kNotInSavedMenu =
    "Diese Partition steht nicht im gespeicherten Bootmenü.\nSie kann erst nach dem Speichern direkt gebootet werden.";
inline constexpr const char* kEngineReadFailed =
    "Lesefehler auf %s: Sektor 0 und der Bootmanager konnten nicht neu gelesen werden.\nEs wird nichts geschrieben.";
inline constexpr const char* kDirectBootWriteFailed =
    "Schreibfehler auf %s (%s) bei Sektor 0.\nDer direkte Start ist nicht vorgemerkt; der Rechner wird nicht neu "
    "gestartet.";
inline constexpr const char* kDirectBootUncertain =  // %s = device name, %s = where
    "Schreiben ungewiss auf %s (%s) bei Sektor 0.\nOb der direkte Start vorgemerkt ist, ist nicht bekannt; der "
    "Rechner wird nicht neu gestartet.";

// Long work in a dialog: "Abbrechen" (and closing the dialog) while the work runs.
inline constexpr const char* kCancelWorkQuestion = "Wollen Sie den Vorgang wirklich abbrechen?";

// Failing disks, interrupted saves and hostile files: our own reports and refusals.
// Behind a disk's name in the device tree when part of it could not be read.
inline constexpr const char* kUnreadDiskMark = "  (Lesefehler, wird nicht gespeichert)";
// The same for a disk whose chain of logical drives could not be read whole.
inline constexpr const char* kBrokenChainMark = "  (Kette der logischen Laufwerke defekt, wird nicht gespeichert)";
inline constexpr const char* kReadFailed =  // %s = device name, %s = where, %u = sector, %s = error
    "Lesefehler auf %s (%s) bei Sektor %u: %s.\nDer nicht gelesene Teil wird nicht angezeigt; diese Festplatte wird "
    "nicht gespeichert, damit nichts überschrieben wird, was nicht gelesen werden konnte.";
inline constexpr const char* kReadFailedRefused =  // %s = device name, %u = sector, %s = error
    "%s: Beim Lesen ist ein Fehler aufgetreten (Sektor %u: %s).\nDiese Festplatte wird nicht gespeichert, damit "
    "nichts überschrieben wird, was nicht gelesen werden konnte.";
inline constexpr const char* kEngineCopyDamaged =  // %s = device name
    "Der Bootmanager auf %s ist beschädigt: seine Kopie von Sektor 0 (in Sektor 5) ist ungültig.\nDie Partitionen "
    "werden aus Sektor 0 gelesen; das nächste Speichern erneuert die Kopie.";
inline constexpr const char* kEngineNotStarted =  // %s = device name
    "Sektor 1 von %s trägt die Kennung des Bootmanagers, aber dessen Kopie von Sektor 0 ist ungültig und Sektor 0 "
    "startet ihn nicht (abgebrochene Installation?).\nDer Bootmanager gilt als nicht installiert; die Partitionen "
    "werden aus Sektor 0 gelesen.";
inline constexpr const char* kWriteFailedAt =  // %s = device name, %s = where, %u = sector, %s = error, %s = list
    "Schreibfehler auf %s (%s) bei Sektor %u: %s.\n%s\nDie Änderungen dieser Festplatte sind nicht vollständig "
    "gespeichert; die Festplatte bleibt als geändert markiert.";
inline constexpr const char* kNothingWritten = "Es wurde nichts geschrieben.";
inline constexpr const char* kSectorsWritten = "Geschrieben wurden vorher die Sektoren %s.";  // %s = list
inline constexpr const char* kSectorMayBeWritten =  // %u = sector
    "Sektor %u kann ganz, teilweise oder gar nicht geschrieben sein.";
inline constexpr const char* kSectorBeyondMedium =  // %s = device name, %u = sector, %llu = sectors of the medium
    "%s: Sektor %u liegt hinter dem Ende des Datenträgers (%llu Sektoren).\nDas Speichern wird abgelehnt; es wurde "
    "nichts geschrieben.";
inline constexpr const char* kNoSpaceReserved =  // %s = device name, %s = where, %s = error
    "%s (%s): Der Platz für die zu schreibenden Sektoren kann nicht belegt werden: %s.\nDas Speichern wird "
    "abgelehnt; es wurde nichts geschrieben.";
inline constexpr const char* kReadOnlyRefused =  // %s = device name, %s = where
    "%s (%s) ist nur zum Lesen geöffnet.\nDas Speichern wird abgelehnt.";
inline constexpr const char* kEmptyTableQuestion =  // %s = device name, %zu = partitions on the disk
    "%s: Nach dem Speichern beschriebe die Partitionstabelle keine Partition mehr (bisher %zu).\nWollen Sie "
    "wirklich alle Partitionen dieser Festplatte aus den Tabellen entfernen?";
inline constexpr const char* kEmptyTableDeclined =  // %s = device name
    "%s: Das Speichern wurde abgebrochen; die Festplatte bleibt unverändert.";
inline constexpr const char* kEngineTrackCovered =  // %s = device name, %u = relative sector
    "%s: Die Partition beim relativen Sektor %u belegt Sektoren der Spur 0 (Sektoren 0 bis 7), in die der "
    "Bootmanager geschrieben wird.\nDas Speichern wird abgelehnt.";
// %s = device name, %llu, %llu = first and last sector, %s = mounted device, %s = mount point
inline constexpr const char* kSaveTouchesMount =
    "%s: Das Speichern änderte die Sektoren %llu bis %llu, in denen das eingehängte Dateisystem %s (%s) liegt.\n"
    "Hängen Sie es zuerst aus. Das Speichern wird abgelehnt; es wurde nichts geschrieben.";
inline constexpr const char* kEngineLoaderMissing =  // %s = device name
    "Sektor 1 von %s trägt den Bootmanager, aber Sektor 0 enthält nicht dessen Ladeprogramm (abgebrochene "
    "Installation oder von einem anderen Programm überschrieben); der Bootmanager startet nicht.\nEr gilt als "
    "nicht installiert; die Partitionen werden aus Sektor 0 gelesen. Der Selbsttest kann Sektor 0 des "
    "Bootmanagers wiederherstellen.";
inline constexpr const char* kDefaultEntriesApart =  // %s = device name, %u, %u = menu entries from 1
    "%s: Sektor 0 nennt den %u. Eintrag des Bootmenüs als Standard, die Kopie des Bootmanagers den %u. (ein "
    "Speichern wurde wohl unterbrochen).\nAngezeigt wird der Standardeintrag der Kopie; das nächste Speichern "
    "schreibt ihn auch in Sektor 0.";
inline constexpr const char* kBackupReadFailed =  // %u = sector, %s = device name, %s = error
    "Sektor %u von %s kann nicht gelesen werden: %s.\nEs wurde keine Sicherungsdatei geschrieben.";
inline constexpr const char* kKeptPartitionActive =  // %u = relative sector, %d = type
    "\nDann ist die Partition beim relativen Sektor %u (Typ %d) aktiv: von ihr startet die Festplatte.";
inline constexpr const char* kEngineTrackInForm =
    "Auf einer Festplatte mit Bootmanager darf keine Partition die Sektoren 0 bis 7 belegen!\n";
inline constexpr const char* kDiskTooShortForEngine =  // %s = device name, %llu = sectors
    "%s hat nur %llu Sektoren; der Bootmanager braucht die Sektoren 0 bis 7.\nDer Vorgang wird abgebrochen.";
inline constexpr const char* kSpaceInUse =  // %u = first sector, %u = last sector, %u = relative sector
    "Der Bereich von Sektor %u bis %u überschneidet die Partition beim relativen Sektor %u.\nEine Partition kann "
    "nur in freiem Platz angelegt werden.";
inline constexpr const char* kSpaceBeyondMedium =  // %u = last sector, %llu = sectors of the medium
    "Die neue Partition reichte bis Sektor %u, der Datenträger hat aber nur %llu Sektoren.";
inline constexpr const char* kOutputNotAFile =  // %s = path
    "%s ist keine gewöhnliche Datei (sondern ein Gerät, eine FIFO, ein Verzeichnis oder eine symbolische "
    "Verknüpfung).\nSie wird nicht überschrieben; der Vorgang wird abgebrochen.";
inline constexpr const char* kOutputIsOpenDisk =  // %s = path
    "%s ist die Datei einer geöffneten Festplatte.\nSie wird nicht überschrieben; der Vorgang wird abgebrochen.";
// Why a file the user named cannot be read (InputFile), and the line a message about it ends with.
inline constexpr const char* kFileIsDirectory = "ein Verzeichnis, keine Datei";
inline constexpr const char* kFileIsFifo = "eine FIFO (benannte Pipe), keine gewöhnliche Datei";
inline constexpr const char* kFileIsSocket = "ein Socket, keine gewöhnliche Datei";
inline constexpr const char* kFileIsDevice = "ein Gerät, keine gewöhnliche Datei";
inline constexpr const char* kFileIsNoRegularFile = "keine gewöhnliche Datei";
inline constexpr const char* kPathAndReason = "\n%s: %s";  // %s = path, %s = the system's reason
inline constexpr const char* kDirectBootDropped =  // %s = device name
    "%s: Der vorgemerkte direkte Start entfällt, weil sein Eintrag nicht mehr im Bootmenü steht.";
inline constexpr const char* kDirectBootCancelled = "Der vorgemerkte direkte Start ist aufgehoben.";
inline constexpr const char* kNoDirectBootPending = "Auf dieser Festplatte ist kein direkter Start vorgemerkt.";
inline constexpr const char* kSelfTestLoaderMissing =
    "Sektor 0 enthält nicht das Ladeprogramm des Bootmanagers; Maßstab ist dessen Kopie von Sektor 0.\r\n";
inline constexpr const char* kSelfTestNeitherMatches =
    " (Sektor 0 und seine Kopie passen nicht zu den gelesenen Partitionen; nichts geändert)";
inline constexpr const char* kDiskImageNotUsable =  // %s = path, %s = reason
    "Das Abbild %s kann nicht benutzt werden: %s.";
inline constexpr const char* kGeometryHint = " (Eine Geometrie wird als DATEI@KÖPFExSEKTOREN angegeben, z.B. disk.img@16x63.)";

// Partition images: the dialogs' and workers' texts.
inline constexpr const char* kImageNameMissing = "Der Name für die Abbilddatei fehlt!";
inline constexpr const char* kImageSplitSizeWrong = "Fehler in der Größenangabe der Einzeldatei!";
inline constexpr const char* kImageCompressionFailed =  // the backslash before "Der" is the program's own
    "Es hat ein Problem bei der Kompression gegeben.\\Der Vorgang wird abgebrochen.\nVersuchen Sie es erneut oder "
    "starten Sie den Vorgang ohne Kompression.";
inline constexpr const char* kImageSaveCancelled = "Das Schreiben des Partitionsabbildes wurde abgebrochen!";
inline constexpr const char* kImageSaveWriteFailed =
    "Das Partitionsabbild konnte nicht gesichert werden.\n Möglicherweise ist das Speichermedium voll?";
inline constexpr const char* kImageSaved = "Das Partitionsabbild wurde erfolgreich gesichert.";
inline constexpr const char* kImageNotAnImage =
    "Diese Datei enthält kein Partitionsabbild, das mit Korvex erzeugt wurde.";
inline constexpr const char* kImageSizeMismatch = "Die Partitionsgröße und Partitionsabbild sind nicht gleich.";
inline constexpr const char* kImageRestored = "Das Partitionsabbild wurde erfolgreich eingespielt!";
inline constexpr const char* kImageDecompressionFailed =
    "Es gab einen Fehler bei der Dekompression.\nDie Partition kann nicht wiederhergestellt werden.";

// Partition images: our own refusals and reports.
inline constexpr const char* kImageNoRange =
    "Ein Abbild gibt es nur von einer Partition oder einem logischen Laufwerk mit Daten, nicht von einem freien "
    "Bereich.";
inline constexpr const char* kImageBadGeometry =  // %s = device, %u = heads, %u = sectors per track
    "Die Geometrie von %s (%u Köpfe, %u Sektoren pro Spur) ergibt keine gültige Blockgröße für ein Partitionsabbild.";
inline constexpr const char* kImageReadFailed =  // %s = device, %u = sector
    "Lesefehler auf %s bei Sektor %u.\nDas Partitionsabbild wurde nicht gesichert; es wurde keine Datei angelegt.";
inline constexpr const char* kImageNoResources =
    "Für das Partitionsabbild konnten nicht genug Arbeitsspeicher oder Arbeitsthreads bereitgestellt werden.";
inline constexpr const char* kImageDamaged = "Das Partitionsabbild ist beschädigt: %s.";  // %s = kImageBlockFault
inline constexpr const char* kImageBlockFault = "Block %u: %s";  // %u = block index, %s = what is wrong
inline constexpr const char* kImageBadBlockBytes = "Blockgröße %u Bytes (erlaubt: ein Vielfaches von 512 bis %u)";
inline constexpr const char* kImageNoSectors = "das Abbild enthält keine Sektoren";
inline constexpr const char* kImageBadCompressedFlag = "Kompressionskennung %u (erlaubt: 0 oder 1)";
inline constexpr const char* kImageBadSplitFlag = "Aufspaltungskennung %u (erlaubt: 0 oder 1)";
inline constexpr const char* kImageBadIndex = "der Kopf trägt die Blocknummer %u";
inline constexpr const char* kImageHeaderDiffers = "der Kopf weicht vom ersten Blockkopf ab";
inline constexpr const char* kImageRawSizeWrong = "%u Datenbytes statt %u";
inline constexpr const char* kImageCompressedSizeWrong = "%u Datenbytes (erlaubt: 1 bis %u)";
inline constexpr const char* kImageHeaderCut = "der Blockkopf ist abgeschnitten (%s)";  // %s = file
inline constexpr const char* kImageDataCut = "die Daten sind abgeschnitten (%s)";     // %s = file
inline constexpr const char* kImageBlockFileMissing = "die Blockdatei %s fehlt oder kann nicht gelesen werden";
inline constexpr const char* kImageDataDamaged = "die komprimierten Daten sind beschädigt";
inline constexpr const char* kImageDataTooLong = "die Daten ergeben mehr als %u Sektoren";
inline constexpr const char* kImageDataTooShort = "die Daten ergeben weniger als %u Sektoren";
inline constexpr const char* kImageFileUnreadable = "die Daten können nicht gelesen werden (%s)";  // %s = file
inline constexpr const char* kImageNothingWritten = "\nEs wurde nichts auf die Festplatte geschrieben.";
inline constexpr const char* kImagePartlyWritten =  // %u = sectors written
    "\nDie Partition ist nur teilweise wiederhergestellt: %u Sektoren sind bereits geschrieben; ihr Inhalt ist "
    "jetzt nicht mehr stimmig.";
inline constexpr const char* kImageTargetWriteFailed =  // %s = device, %u = first and last sector, %s = error
    "Schreibfehler auf %s bei den Sektoren %u bis %u: %s.";
inline constexpr const char* kImageBlockMayBeWritten =  // %u = first and last sector of the failed write
    "\nDie Sektoren %u bis %u können ganz, teilweise oder gar nicht überschrieben sein.";
inline constexpr const char* kImageWrittenNotFlushed =  // %u = sectors of the partition
    "\nAlle %u Sektoren der Partition sind bereits überschrieben; ob sie vollständig auf dem Datenträger stehen, ist "
    "ungewiss.";
inline constexpr const char* kImageTargetOverlaps =  // %u = first and last sector, %s = one of the four below
    "Der Zielbereich von Sektor %u bis %u überschneidet sich mit %s.\nDie Partitionstabelle ist beschädigt oder "
    "widersprüchlich; es wurde nichts auf die Festplatte geschrieben.";
inline constexpr const char* kImageTargetSectorZero = "Sektor 0 mit der Partitionstabelle";
inline constexpr const char* kImageTargetEngineTrack = "den Sektoren 0 bis 7, in denen der Bootmanager steht";
inline constexpr const char* kImageTargetPartition = "der Partition bei Sektor %u";  // %u = its start
inline constexpr const char* kImageTargetLogical =  // %u = its start
    "dem logischen Laufwerk bei Sektor %u (dort steht sein EBR)";
inline constexpr const char* kImageTargetBeyondDisk =  // %s = device
    "Der Zielbereich reicht über das Ende von %s hinaus.\nEs wurde nichts auf die Festplatte geschrieben.";
inline constexpr const char* kImageTargetMounted =  // %s = device, %s = mount point
    "Der Zielbereich enthält das eingehängte Dateisystem %s (%s).\nHängen Sie es zuerst aus; es wurde nichts auf "
    "die Festplatte geschrieben.";
inline constexpr const char* kImageSourceMounted =  // %s = device, %s = mount point
    "Die Partition enthält das eingehängte Dateisystem %s (%s); es kann sich während des Lesens ändern, und das "
    "Abbild wäre dann nicht stimmig.\nWollen Sie trotzdem ein Abbild erzeugen?";
inline constexpr const char* kImageVerified =  // %u = blocks, %u = sectors
    "Das Partitionsabbild ist in Ordnung: %u Blöcke mit %u Sektoren.";
inline constexpr const char* kImageSizesDiffer =  // after kImageSizeMismatch; %u = sectors of image and partition
    "\nDas Abbild enthält %u Sektoren, die Partition %u.";
inline constexpr const char* kImageRestoreConfirm =  // %s = device, %u = first and last sector, %s = size
    "Der Inhalt von %s, Sektor %u bis %u (%s), wird überschrieben. Fortfahren?";
inline constexpr const char* kImageRestoreCancelled = "Das Einspielen des Partitionsabbildes wurde abgebrochen.";
inline constexpr const char* kImageStatusChecksums = "Prüfsummen der Abbilddateien";
inline constexpr const char* kImageStatusBlocks = "Prüfen der Blöcke";
inline constexpr const char* kImageStatusWriting = "Schreiben auf die Partition";
inline constexpr const char* kImageFileReadFailed = "Die Abbilddatei %s kann nicht gelesen werden: %s.";  // path, reason
inline constexpr const char* kImageChecksumWrong =  // kImageDamaged's %s; %s = file, %s = checksum file
    "die Datei %s stimmt nicht mit ihrer Prüfsumme in %s überein";
inline constexpr const char* kImageChecksumFileUnreadable =  // %s = checksum file, %s = reason
    "Die Prüfsummendatei %s kann nicht gelesen werden: %s.";
inline constexpr const char* kImageChecksumLineBad =  // %s = checksum file, %u = line
    "Die Prüfsummendatei %s ist beschädigt: Zeile %u hat nicht die Form \"PRÜFSUMME  DATEINAME\".";
inline constexpr const char* kImageChecksumFileTooLarge = "zu groß für die Prüfsummen eines Abbilds";
inline constexpr const char* kImageChecksumMissing =  // %s = checksum file, %s = file
    "Die Prüfsummendatei %s nennt die Datei %s nicht.";
inline constexpr const char* kImageChecksumsMatch =  // %s = checksum file
    "\nJede Datei des Abbilds stimmt mit ihrer Prüfsumme in %s überein.";
inline constexpr const char* kImageNoChecksumFile =  // %s = checksum file
    "\nEine Prüfsummendatei %s gibt es nicht.";
inline constexpr const char* kImageRawUnchecked =
    " Die Daten eines unkomprimierten Abbilds sind ohne sie nur gelesen, nicht geprüft.";
inline constexpr const char* kImageSurplusNotRemoved =  // %s = file, %s = reason
    "\nDie Blockdatei %s eines älteren Abbilds gleichen Namens konnte nicht gelöscht werden: %s.";

// The helper transport: why no disk can be reached through the sector helper program.
inline constexpr const char* kHelperNotFound =  // %s = the program name of the setting "Win95Hack"
    "Das Hilfsprogramm \"%s\" für den Festplattenzugriff wurde nicht gefunden.\nBitte prüfen Sie die Einstellung "
    "\"Win95Hack\".";
inline constexpr const char* kHelperColonInName =  // %s = the device as given
    "Die Festplatte \"%s\" kann das Hilfsprogramm nicht erreichen: ihr Name enthält einen Doppelpunkt, der in "
    "KORVEX_DISKS die Festplatten trennt.\nEs wird keine Festplatte geladen.";
// Why an exchange with the sector helper failed, where a message names the error of a transfer.
inline constexpr const char* kHelperNoAnswer = "Hilfsprogramm antwortet nicht";
inline constexpr const char* kHelperAborted = "Hilfsprogramm abgebrochen";
inline constexpr const char* kWriteUncertainSuffix = ", Schreiben ungewiss";

// Lost-partition search ("Festplattenanalyse"): the status texts of the search, its outcomes,
// and the refusals of bringing a found volume back ("Übernehmen").
inline constexpr const char* kScanReadingFrom = "Lese ab Sektor ";  // followed by the sector number
inline constexpr const char* kScanSearching = "Suchen ...";
inline constexpr const char* kScanHit = "Treffer";
inline constexpr const char* kScanDiskUnreadable =  // %s = device name
    "%s kann nicht gelesen werden (nicht geöffnet oder ohne Geometrie).\nDie Suche findet nicht statt.";
inline constexpr const char* kScanSectorsSkipped =  // %llu = number of sectors
    "Nicht lesbare Sektoren: %llu.\nSie wurden übersprungen; die Suche lief bis zum Ende der Festplatte.";
inline constexpr const char* kScanEnded = "Suche beendet";
inline constexpr const char* kScanCancelled = "Suche abgebrochen";
inline constexpr const char* kScanThroughBackup = "über die Sicherungskopie gefunden";
inline constexpr const char* kScanBackupOf = "Sicherungskopie des Bootsektors in Sektor %llu";  // %llu = sector
inline constexpr const char* kScanRecord = "EBR";
inline constexpr const char* kScanRecordDrive = "EBR: logisches Laufwerk ab Sektor %llu, Typ %02Xh";  // sector, type
inline constexpr const char* kScanLostExtended = "Erweiterte Partition mit %zu logischen Laufwerken";  // %zu > 1
inline constexpr const char* kScanLostExtendedOne = "Erweiterte Partition mit 1 logischen Laufwerk";
inline constexpr const char* kAdoptNoVolume =
    "Dieser Treffer beschreibt kein Dateisystem mit einem Bereich auf dieser Festplatte.\n"
    "Er kann nicht übernommen werden.";
inline constexpr const char* kAdoptPastTables =
    "Das Dateisystem reicht über Sektor 4294967295 hinaus und kann in keiner Partitionstabelle stehen.";
inline constexpr const char* kAdoptTypeInvalid =
    "Ein gefundenes Dateisystem kann nicht als Partition vom Typ 0, 5 oder 15 übernommen werden.";
inline constexpr const char* kAdoptGpt =  // %s = device name
    "%s ist eine GPT-Festplatte (Schutzeintrag vom Typ EEh).\nKorvex verändert GPT-Festplatten nicht; die "
    "Partition wird nicht übernommen.";
inline constexpr const char* kAdoptOverlap =  // %u, %u = first and last sector
    "Der Bereich von Sektor %u bis %u überschneidet sich mit einer vorhandenen Partition.\n"
    "Die Partition wird nicht übernommen.";
inline constexpr const char* kAdoptAcrossExtended =  // %u, %u = first and last sector
    "Der Bereich von Sektor %u bis %u liegt nur teilweise in der erweiterten Partition.\n"
    "Die Partition wird nicht übernommen.";
inline constexpr const char* kAdoptInTrackZero =
    "Der Bereich beginnt in der ersten Spur der Festplatte, die dem Master Boot Record gehört.\n"
    "Die Partition wird nicht übernommen.";
inline constexpr const char* kAdoptNoRoomForRecord =
    "Vor dem Dateisystem ist in der erweiterten Partition kein Sektor für den EBR eines logischen Laufwerks frei.\n"
    "Die Partition wird nicht übernommen.";
inline constexpr const char* kAdoptPastDiskEnd =
    "Der Bereich des Dateisystems reicht über das Ende der Festplatte hinaus.\nDie Partition wird nicht übernommen.";
inline constexpr const char* kAdoptInLostExtended =  // %u = the volume's start, %u = the extended partition's
    "Das Dateisystem ab Sektor %u ist ein logisches Laufwerk der verlorenen erweiterten Partition ab Sektor %u.\n"
    "Übernehmen Sie die erweiterte Partition; sie bringt alle ihre logischen Laufwerke mit.";
inline constexpr const char* kAdoptNamedByRecord =  // %u = the volume's start, %u = its record
    "Das Dateisystem ab Sektor %u ist ein logisches Laufwerk: der EBR in Sektor %u beschreibt es.\n"
    "Übernehmen Sie die erweiterte Partition, die die Suche dazu anzeigt; sie bringt alle ihre logischen "
    "Laufwerke mit.";
inline constexpr const char* kAdoptOtherFileSystemAtStart =  // %llu = sector, %s = file system
    "In Sektor %llu, dem ersten Sektor des Dateisystems, beginnt heute ein anderes Dateisystem (%s).\n"
    "Die Partition wird nicht übernommen.";
inline constexpr const char* kAdoptExtendedType = "Eine erweiterte Partition wird nur mit Typ 5 oder 15 übernommen.";
inline constexpr const char* kAdoptExtendedWithoutDrives =
    "Eine erweiterte Partition ohne logische Laufwerke wird nicht übernommen.";
inline constexpr const char* kAdoptNothingAt =  // %llu = sector
    "Sektor %llu beschreibt weder ein Dateisystem noch den Beginn einer verlorenen erweiterten Partition.\n"
    "Er kann nicht übernommen werden.";
inline constexpr const char* kAdoptBootSectorRestored =  // %u = sector
    "Der Bootsektor in Sektor %u wird beim Speichern aus seiner Sicherungskopie wiederhergestellt.";
inline constexpr const char* kAdoptedExtended =  // %u, %u = first and last sector, %zu = drives, %s = device name
    "Die erweiterte Partition von Sektor %u bis %u ist mit %zu logischen Laufwerken in die Konfiguration von %s "
    "übernommen.\nAuf die Festplatte geschrieben wird sie erst mit \"Speichern\".";
inline constexpr const char* kAdopted =  // %u, %u = first and last sector, %s = device name
    "Das Dateisystem von Sektor %u bis %u ist als Partition in die Konfiguration von %s übernommen.\n"
    "Auf die Festplatte geschrieben wird es erst mit \"Speichern\".";
inline constexpr const char* kSectorUnreadable =  // %llu = sector, %s = device name
    "Sektor %llu von %s kann nicht gelesen werden.";

// The first start without a catalogue: what follows message 33447 when the catalogue that ships
// with the program cannot be imported.
inline constexpr const char* kShippedCatalogueMissing =  // %s, %s = the places looked at
    "Der mitgelieferte Katalog parts.reg liegt weder in %s noch in %s.";
inline constexpr const char* kShippedCatalogueUnusable =  // %s = why the import failed
    "Der mitgelieferte Katalog konnte nicht übernommen werden:\n%s";
inline constexpr const char* kHowToImportCatalogue =
    "Importieren Sie einen Katalog mit\n  korvex-cli registry ensure-catalogue DATEI.reg";

// The window program's forms.
inline constexpr const char* kTitleNotCp437 =  // %s = the character
    "Der Titel enthält das Zeichen \"%s\", das der Bootmanager (Codepage 437) nicht darstellen kann.\nDer Titel "
    "wird nicht übernommen.";
inline constexpr const char* kCatalogueNotStored =
    "Die Partitionstypen konnten nicht gespeichert werden.\nDer Katalog bleibt, wie er war.";

}  // namespace korvex::text
