// "menu": the boot menu of a disk with the engine — entries, their order and titles, the default
// entry or remember-last, the timeout, the automatic boot and the colours. Each change is saved.
#include <optional>

#include "bootengine/MenuConfig.h"
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "platform/Cp437.h"
#include "platform/NumberText.h"

namespace korvex {
namespace {

constexpr const char* kUsage =
    "Aufruf: menu add OBJEKT [TITEL] | remove OBJEKT | move OBJEKT up|down|POSITION | title OBJEKT TITEL |\n"
    "        default OBJEKT|last [FESTPLATTE] | remember-last on|off [FESTPLATTE] | timeout SEKUNDEN [FESTPLATTE] |\n"
    "        autoboot on|off [FESTPLATTE] | colors [FESTPLATTE] [--menu VG/HG] [--bar VG/HG]";
constexpr const char* kFirstDisk = "0";

int Usage() {
  PrintError(kUsage);
  return kExitUsage;
}

std::optional<bool> ParseSwitch(const std::string& text) {
  if (text == "on") return true;
  if (text == "off") return false;
  return std::nullopt;
}

// "FG/BG", each a number.
std::optional<TextColour> ParseColour(const std::string& text) {
  const size_t slash = text.find('/');
  if (slash == std::string::npos) return std::nullopt;
  const auto foreground = ParseNumber(text.substr(0, slash), UINT8_MAX);
  const auto background = ParseNumber(text.substr(slash + 1), UINT8_MAX);
  if (!foreground || !background) return std::nullopt;
  return TextColour{static_cast<std::uint8_t>(*foreground), static_cast<std::uint8_t>(*background)};
}

int Done(CliSession& session, bool changed) { return changed ? SaveChanges(session) : kExitFailed; }

// The disk of the optional last argument at index (the first disk when it is missing).
CHardDisk* OptionalDisk(CliSession& session, const Arguments& arguments, std::size_t index) {
  return SelectDisk(session, arguments.size() > index ? arguments[index] : kFirstDisk);
}

int RunAdd(CliSession& session, const Arguments& arguments) {
  if (arguments.size() < 2 || arguments.size() > 3) return Usage();
  const auto entry = ParseObjectRef(session, arguments[1]);
  if (!entry) return kExitUsage;
  std::optional<std::string> title;
  if (arguments.size() == 3 && !(title = BootScreenText(arguments[2], session.prompt()))) return kExitFailed;
  CPrompt& prompt = session.prompt();
  if (!AddToMenu(session.workingCopy(), *entry, prompt)) return kExitFailed;
  if (title && !SetMenuTitle(session.workingCopy(), *entry, *title, prompt)) return kExitFailed;
  return SaveChanges(session);
}

int RunMove(CliSession& session, const Arguments& arguments) {
  if (arguments.size() != 3) return Usage();
  const auto entry = ParseObjectRef(session, arguments[1]);
  if (!entry) return kExitUsage;
  const std::string& where = arguments[2];
  if (where == "up" || where == "down") {
    return Done(session, MoveMenuEntryByOne(session.workingCopy(), *entry, where == "up", session.prompt()));
  }
  const auto position = ParseNumber(where, UINT32_MAX);
  if (!position) return Usage();
  return Done(session,
              MoveMenuEntry(session.workingCopy(), *entry, static_cast<unsigned>(*position), session.prompt()));
}

int RunTitle(CliSession& session, const Arguments& arguments) {
  if (arguments.size() != 3) return Usage();
  const auto entry = ParseObjectRef(session, arguments[1]);
  if (!entry) return kExitUsage;
  const auto title = BootScreenText(arguments[2], session.prompt());
  return Done(session, title && SetMenuTitle(session.workingCopy(), *entry, *title, session.prompt()));
}

int RunDefault(CliSession& session, const Arguments& arguments) {
  if (arguments.size() < 2 || arguments.size() > 3) return Usage();
  if (arguments[1] == "last") {
    CHardDisk* disk = OptionalDisk(session, arguments, 2);
    if (disk == nullptr) return kExitUsage;
    return Done(session, SetRememberLast(*disk, true, session.prompt()));
  }
  if (arguments.size() != 2) return Usage();
  const auto entry = ParseObjectRef(session, arguments[1]);
  if (!entry) return kExitUsage;
  return Done(session, SetDefaultPartition(session.workingCopy(), *entry, session.prompt()));
}

// "remember-last on|off", "autoboot on|off" and "timeout SECONDS": a value and an optional disk.
int RunDiskSetting(CliSession& session, const Arguments& arguments) {
  if (arguments.size() < 2 || arguments.size() > 3) return Usage();
  const std::string& what = arguments[0];
  const auto onOff = ParseSwitch(arguments[1]);
  const auto seconds = ParseNumber(arguments[1], UINT32_MAX);
  if (what == "timeout" ? !seconds : !onOff) return Usage();
  CHardDisk* disk = OptionalDisk(session, arguments, 2);
  if (disk == nullptr) return kExitUsage;
  CPrompt& prompt = session.prompt();
  if (what == "timeout") return Done(session, SetTimeout(*disk, static_cast<unsigned>(*seconds), prompt));
  if (what == "autoboot") return Done(session, SetAutoBoot(*disk, *onOff, prompt));
  return Done(session, SetRememberLast(*disk, *onOff, prompt));
}

int RunColours(CliSession& session, const Arguments& arguments) {
  std::string diskText = kFirstDisk;
  std::optional<TextColour> menu;
  std::optional<TextColour> bar;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if ((argument == "--menu" || argument == "--bar") && i + 1 < arguments.size()) {
      auto& target = argument == "--menu" ? menu : bar;
      if (!(target = ParseColour(arguments[++i]))) return Usage();
    } else if (i == 1 && argument.rfind("--", 0) != 0) {
      diskText = argument;
    } else {
      return Usage();
    }
  }
  if (!menu && !bar) return Usage();
  CHardDisk* disk = SelectDisk(session, diskText);
  if (disk == nullptr) return kExitUsage;
  MenuColours colours = CurrentMenuColours(*disk);
  if (menu) colours.menu = *menu;
  if (bar) colours.bar = *bar;
  return Done(session, SetMenuColours(*disk, colours, session.prompt()));
}

}  // namespace

int RunMenu(CliSession& session, const Arguments& arguments) {
  if (arguments.empty()) return Usage();
  const std::string& sub = arguments[0];
  if (sub == "add") return RunAdd(session, arguments);
  if (sub == "remove") {
    if (arguments.size() != 2) return Usage();
    const auto entry = ParseObjectRef(session, arguments[1]);
    if (!entry) return kExitUsage;
    return Done(session, RemoveFromMenu(session.workingCopy(), *entry, session.prompt()));
  }
  if (sub == "move") return RunMove(session, arguments);
  if (sub == "title") return RunTitle(session, arguments);
  if (sub == "default") return RunDefault(session, arguments);
  if (sub == "remember-last" || sub == "timeout" || sub == "autoboot") return RunDiskSetting(session, arguments);
  if (sub == "colors" || sub == "colours") return RunColours(session, arguments);
  if (sub == "screen") return RunMenuScreen(session, arguments);
  return Usage();
}

}  // namespace korvex
