#include "app/FrameMenus.h"

#include <wx/menu.h>
#include <wx/toolbar.h>

#include "app/Icons.h"
#include "app/WxCommands.h"
#include "wxcommon/WxText.h"
#include "platform/StringTable.h"

namespace korvex {
namespace {

wxString Prompt(CommandId command) { return Wx(LoadResString(static_cast<unsigned>(command))); }

void Add(wxMenu* menu, CommandId command, const char* text) { menu->Append(WxIdOf(command), Wx(text), Prompt(command)); }

wxMenu* FileMenu() {
  auto* menu = new wxMenu;
  Add(menu, CommandId::Save, "&Speichern...\tCtrl+S");
  Add(menu, CommandId::Reload, "&Wiederherstellen...\tCtrl+W");
  menu->AppendSeparator();
  auto* backups = new wxMenu;
  Add(backups, CommandId::ImageSave, "Abbild erzeugen");
  Add(backups, CommandId::ImageRestore, "Abbild laden");
  menu->AppendSubMenu(backups, Wx("S&icherungen"));
  menu->AppendSeparator();
  Add(menu, CommandId::Boot, "B&ooten");
  menu->AppendSeparator();
  menu->Append(wxID_EXIT, Wx("&Beenden"), Wx("Beendet das Programm"));
  return menu;
}

wxMenu* EditMenu() {
  auto* menu = new wxMenu;
  Add(menu, CommandId::Undo, "&Rückgängig\tCtrl+Z");
  Add(menu, CommandId::Redo, "Wieder&holen\tCtrl+Y");
  menu->AppendSeparator();
  Add(menu, CommandId::MenuAdd, "&Aufnehmen");
  Add(menu, CommandId::MenuRemove, "&Entfernen");
  menu->AppendSeparator();
  Add(menu, CommandId::Create, "A&nlegen");
  Add(menu, CommandId::Delete, "&Löschen");
  menu->AppendSeparator();
  auto* compare = new wxMenu;
  Add(compare, CommandId::AbsoluteToRelative, "&Absolut nach Relativ");
  Add(compare, CommandId::RelativeToAbsolute, "&Relativ nach Absolut");
  menu->AppendSubMenu(compare, Wx("Ab&gleich"));
  Add(menu, CommandId::Check, "&Prüfen");
  Add(menu, CommandId::Analysis, "Anal&yse...");
  menu->AppendSeparator();
  Add(menu, CommandId::Apply, "Ü&bernehmen");
  menu->AppendSeparator();
  Add(menu, CommandId::Activate, "A&ktivieren");
  Add(menu, CommandId::Deactivate, "&Deaktivieren");
  menu->AppendSeparator();
  Add(menu, CommandId::Password, "Pass&wort...");
  return menu;
}

wxMenu* ViewMenu() {
  auto* menu = new wxMenu;
  Add(menu, CommandId::BootMenu, "Boot&menü");
  menu->AppendSeparator();
  menu->AppendCheckItem(kToggleToolbarId, Wx("&Symbolleiste"), Wx("Blendet die Symbolleiste ein oder aus"))->Check();
  menu->AppendCheckItem(kToggleStatusBarId, Wx("S&tatusleiste"), Wx("Blendet die Statusleiste ein oder aus"))->Check();
  menu->AppendCheckItem(kTogglePendingPaneId, Wx("A&usstehende Änderungen"),
                        Wx("Zeigt die Änderungen, die das Speichern schreibt, solange welche ausstehen"))
      ->Check();
  return menu;
}

wxMenu* OptionsMenu() {
  auto* menu = new wxMenu;
  Add(menu, CommandId::PartitionTypes, "&Partitionstypen...");
  Add(menu, CommandId::SelfTest, "&Selbsttest...");
  Add(menu, CommandId::BootManager, "&Bootmanager...");
  auto* floppies = new wxMenu;
  Add(floppies, CommandId::FloppyPasswordA, "1. Diskettenlaufwerk");
  Add(floppies, CommandId::FloppyPasswordB, "2. Diskettenlaufwerk");
  menu->AppendSubMenu(floppies, Wx("Pass&wort für"));
  return menu;
}

}  // namespace

wxMenuBar* CreateMenuBar() {
  auto* bar = new wxMenuBar;
  bar->Append(FileMenu(), Wx("&Datei"));
  bar->Append(EditMenu(), Wx("&Bearbeiten"));
  bar->Append(ViewMenu(), Wx("&Ansicht"));
  bar->Append(OptionsMenu(), Wx("&Optionen"));
  auto* help = new wxMenu;
  Add(help, CommandId::About, "Inf&o über korvex...");
  bar->Append(help, Wx("&?"));
  return bar;
}

void FillToolBar(wxToolBar& toolbar) {
  toolbar.SetToolBitmapSize(wxSize(16, 15));
  const auto tool = [&](CommandId command, const char* name) {
    toolbar.AddTool(WxIdOf(command), Wx(name), ToolbarBitmap(command), Wx(name), wxITEM_NORMAL);
    toolbar.SetToolLongHelp(WxIdOf(command), Prompt(command));
  };
  tool(CommandId::Save, "Speichern");
  tool(CommandId::Reload, "Wiederherstellen");
  tool(CommandId::Apply, "Übernehmen");
  toolbar.AddSeparator();
  tool(CommandId::Create, "Anlegen");
  tool(CommandId::Delete, "Löschen");
  toolbar.AddSeparator();
  tool(CommandId::MenuAdd, "Aufnehmen");
  tool(CommandId::MenuRemove, "Entfernen");
  toolbar.AddSeparator();
  tool(CommandId::BootMenu, "Bootmenü");
  tool(CommandId::PartitionTypes, "Partitionstypen");
  tool(CommandId::SelfTest, "Selbsttest");
  toolbar.AddSeparator();
  tool(CommandId::About, "Info");
  toolbar.Realize();
}

}  // namespace korvex
