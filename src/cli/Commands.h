#pragma once
// The commands of korvex-cli. Each takes the session and its own arguments and returns the
// exit status.
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliSession.h"

namespace korvex {

using Arguments = std::vector<std::string>;

struct CliCommand {
  const char* name;
  const char* usage;
  bool needsDisks;  // the working copy is loaded before the command runs
  int (*run)(CliSession& session, const Arguments& arguments);
};

const std::vector<CliCommand>& CommandTable();
// The command of the table named name; nullptr for none.
const CliCommand* FindCommand(std::string_view name);
// "Aufruf: " and the form of command as the command table gives it (its text before the
// description).
std::string CommandUsage(std::string_view command);

int RunList(CliSession& session, const Arguments& arguments);
int RunTree(CliSession& session, const Arguments& arguments);
int RunRegistry(CliSession& session, const Arguments& arguments);
int RunSave(CliSession& session, const Arguments& arguments);
int RunInstallEngine(CliSession& session, const Arguments& arguments);
int RunRemoveEngine(CliSession& session, const Arguments& arguments);
int RunSelfTest(CliSession& session, const Arguments& arguments);
int RunBackup(CliSession& session, const Arguments& arguments);
int RunCheck(CliSession& session, const Arguments& arguments);
int RunDerive(CliSession& session, const Arguments& arguments);
int RunApply(CliSession& session, const Arguments& arguments);
int RunCreate(CliSession& session, const Arguments& arguments);
int RunDelete(CliSession& session, const Arguments& arguments);
int RunActivate(CliSession& session, const Arguments& arguments);
int RunDeactivate(CliSession& session, const Arguments& arguments);
int RunMenu(CliSession& session, const Arguments& arguments);
// "menu screen": the boot menu's screen cells; changes nothing.
int RunMenuScreen(CliSession& session, const Arguments& arguments);
int RunPassword(CliSession& session, const Arguments& arguments);
int RunBoot(CliSession& session, const Arguments& arguments);
int RunCancelBoot(CliSession& session, const Arguments& arguments);
// Partition images.
int RunImage(CliSession& session, const Arguments& arguments);

// The lost-partition search.
int RunScan(CliSession& session, const Arguments& arguments);
int RunAdopt(CliSession& session, const Arguments& arguments);
int RunSector(CliSession& session, const Arguments& arguments);

}  // namespace korvex
