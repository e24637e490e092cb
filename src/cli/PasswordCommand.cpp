// "password set|delete OBJECT|A|B": the boot-time password of a menu entry or a floppy drive.
// The password comes from the terminal (twice, without echo) or as one line of stdin.
#include "bootengine/Passwords.h"
#include "cli/Commands.h"
#include "cli/ObjectSelector.h"
#include "cli/PasswordInput.h"

namespace korvex {
namespace {

std::optional<FloppyDrive> Floppy(const std::string& text) {
  if (text == "A" || text == "a") return FloppyDrive::A;
  if (text == "B" || text == "b") return FloppyDrive::B;
  return std::nullopt;
}

int Set(CliSession& session, const std::string& target) {
  const auto floppy = Floppy(target);
  std::optional<ObjectRef> entry;
  if (!floppy && !(entry = ParseObjectRef(session, target))) return kExitUsage;
  const auto entries = ReadPasswordEntries();
  if (!entries) {
    PrintError("password: kein Passwort gelesen (Ende der Eingabe)");
    return kExitFailed;
  }
  CPrompt& prompt = session.prompt();
  const PasswordResult result =
      floppy ? SetFloppyPassword(session.workingCopy(), *floppy, entries->password, entries->repetition, prompt)
             : SetPartitionPassword(session.workingCopy(), *entry, entries->password, entries->repetition, prompt);
  if (result == PasswordResult::Empty) PrintError("password: leeres Passwort, nichts geändert");
  return result == PasswordResult::Stored ? SaveChanges(session) : kExitFailed;
}

int Delete(CliSession& session, const std::string& target) {
  if (const auto floppy = Floppy(target)) {
    return DeleteFloppyPassword(session.workingCopy(), *floppy, session.prompt()) ? SaveChanges(session) : kExitFailed;
  }
  const auto entry = ParseObjectRef(session, target);
  if (!entry) return kExitUsage;
  return DeletePartitionPassword(session.workingCopy(), *entry, session.prompt()) ? SaveChanges(session) : kExitFailed;
}

}  // namespace

int RunPassword(CliSession& session, const Arguments& arguments) {
  if (arguments.size() != 2 || (arguments[0] != "set" && arguments[0] != "delete")) {
    PrintError("Aufruf: password set|delete OBJEKT|A|B");
    return kExitUsage;
  }
  return arguments[0] == "set" ? Set(session, arguments[1]) : Delete(session, arguments[1]);
}

}  // namespace korvex
