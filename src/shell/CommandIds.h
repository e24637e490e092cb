#pragma once
// The program's command numbers, as the menus, the toolbar and the context menus use them. The
// window program maps them to toolkit ids in one place.
namespace korvex {

enum class CommandId : int {
  PartitionTypes = 32772,
  Save = 32773,
  Reload = 32774,
  SelfTest = 32780,
  BootMenu = 32784,
  MenuAdd = 32785,
  MenuRemove = 32786,
  Delete = 32787,
  Create = 32790,
  AbsoluteToRelative = 32792,
  RelativeToAbsolute = 32793,
  Check = 32794,
  SaveDisk = 32795,
  ReloadDisk = 32796,
  Apply = 32808,
  BootManager = 32810,
  Activate = 32811,
  Deactivate = 32812,
  Password = 32813,
  BootFromContextMenu = 32814,
  FloppyPasswordA = 32816,
  FloppyPasswordB = 32817,
  Boot = 32818,
  Analysis = 32819,
  ImageSave = 32821,
  ImageRestore = 32822,
  // The framework's numbers for undo and redo of an edit.
  Undo = 57643,
  Redo = 57644,
  About = 57664,
};

}  // namespace korvex
