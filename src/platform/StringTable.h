#pragma once
// The program's string table: every numbered text the user sees, in German, as UTF-8.
// "\n" in a text is a line break; any other backslash or slash is a literal character.
#include <string>

namespace korvex {

enum StringId : unsigned {
  IDS_MENU_FULL_REMOVE = 33446,
  IDS_NO_PARTITION_TYPES = 33447,
  IDS_APPLY_CHANGES = 33448,
  IDS_STARTS_INSIDE = 33449,
  IDS_ENDS_INSIDE = 33450,
  IDS_NEW_TITLE = 33454,
  IDS_NO_ERRORS = 33455,
  IDS_DISCARD_CHANGES = 33462,
  IDS_LOSE_LOGICAL_DRIVES = 33481,
  IDS_START_MISMATCH = 33482,
  IDS_END_MISMATCH = 33483,
  IDS_TYPE5_NOT_HERE = 33484,
  IDS_ERRORS_NO_SAVE = 33485,
  IDS_TYPE_CHANGE = 33486,
  IDS_ONE_TYPE5_PER_DISK = 33487,
  IDS_LOGICAL_OUTSIDE = 33488,
  IDS_LOGICAL_TOO_BIG = 33489,
  IDS_GEOMETRY_MISMATCH = 33490,
  IDS_RESTART_NOW = 33496,
  IDS_REMEMBER_RESTART = 33497,
  IDS_NO_PRIMARY_LEFT = 33500,
  IDS_LAST_BOOTED = 33504,
  IDS_COLUMN_ID = 33505,
  IDS_COLUMN_NAME = 33506,
  IDS_VALUE_COUNT = 33507,
  IDS_VALUE_NAME = 33508,
  IDS_VALUE_ID = 33509,
  IDS_UNKNOWN_TYPE = 33510,
  IDS_DUPLICATE_TYPE_NAME = 33511,
  IDS_INVALID_TYPE_ID = 33512,
  IDS_FREE_NODE = 33517,
  IDS_TYPE_NODE = 33518,
  IDS_TYPE5_NODE = 33519,
  IDS_STARTS_AT_SECTOR = 33520,
  IDS_DISK_LABEL = 33524,
  IDS_NO_RIGHTS = 33526,
  IDS_START_NOT_BEFORE_END = 33527,
  IDS_NO_SHUTDOWN_RIGHT = 33528,
  IDS_NO_MENU_PARTITION = 33530,
  IDS_NO_BACKUP_NAME = 33532,
  IDS_NO_BACKUP_FILE = 33533,
  IDS_BACKUP_CANNOT_OPEN = 33534,
  IDS_NOT_A_BACKUP = 33535,
  IDS_TOO_MANY_TO_KEEP = 33536,
  IDS_PASSWORDS_DIFFER = 33538,
  IDS_LOSE_COLOURS = 33539,
  IDS_MENU_COLOURS_EQUAL = 33540,
  IDS_BAR_COLOURS_EQUAL = 33541,
  IDS_MENU_BAR_SAME = 33542,
  IDS_START_BOOT = 33543,
  IDS_OVERLAP = 33544,
  IDS_LOGICAL_CHAIN_BROKEN = 33546,
  IDS_EMPTY_BOOT_MENU = 33547,
  IDS_APP_TITLE = 57344,
  IDS_RANGE = 61714,
};

// The window program's status-bar prompts are kept under the command numbers (shell/CommandIds.h):
// LoadResString(32772) is the prompt of "&Partitionstypen...".

// 61714 with its two limits filled in.
std::string FormatRangeMessage(long low, long high);

// The text of a string id; an empty text for an id the table does not hold.
std::string LoadResString(unsigned id);

}  // namespace korvex
