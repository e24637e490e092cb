// The command line of korvex-cli: global options only before the command, everything after it
// belongs to the command, and the usage lines come from the command table.
#include "cli/ProgramArguments.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

std::optional<Request> Parse(std::vector<std::string> arguments, CliOptions& options) {
  return ParseProgramArguments(arguments, options);
}

TEST(ProgramArgumentsTest, GlobalOptionsBeforeTheCommandAndTheRestForIt) {
  CliOptions options;
  ASSERT_EQ(Parse({"--disk", "a.img", "--disk=b.img@16x63", "--yes", "--restart", "--demo", "save", "--disk", "0"},
                  options),
            Request::Command);
  EXPECT_EQ(options.diskSpecs, (std::vector<std::string>{"a.img", "b.img@16x63"}));
  EXPECT_TRUE(options.assumeYes && options.restart && options.demo);
  EXPECT_EQ(options.command, "save");
  // An option after the command is the command's argument, even one that looks global.
  EXPECT_EQ(options.arguments, (std::vector<std::string>{"--disk", "0"}));

  CliOptions plain;
  ASSERT_EQ(Parse({"list"}, plain), Request::Command);
  EXPECT_TRUE(plain.diskSpecs.empty());
  EXPECT_FALSE(plain.assumeYes || plain.restart || plain.demo);
  EXPECT_TRUE(plain.arguments.empty());
}

TEST(ProgramArgumentsTest, ADryRunMayFollowTheCommandAndJsonNeedsIt) {
  CliOptions after;
  ASSERT_EQ(Parse({"delete", "0:5", "--dry-run"}, after), Request::Command);
  EXPECT_TRUE(after.dryRun);
  EXPECT_EQ(after.arguments, (std::vector<std::string>{"0:5"}));
  CliOptions before;
  ASSERT_EQ(Parse({"--dry-run", "--json", "delete", "0:5"}, before), Request::Command);
  EXPECT_TRUE(before.dryRun && before.json);
  CliOptions jsonAfter;
  ASSERT_EQ(Parse({"--json", "delete", "0:5", "--dry-run"}, jsonAfter), Request::Command);
  EXPECT_TRUE(jsonAfter.json && jsonAfter.dryRun);
  CliOptions jsonAlone;
  EXPECT_FALSE(Parse({"--json", "list"}, jsonAlone));
}

TEST(ProgramArgumentsTest, HelpAndVersionWinAndMalformedLinesAreRefused) {
  CliOptions options;
  EXPECT_EQ(Parse({"--yes", "--help", "list"}, options), Request::Help);
  EXPECT_EQ(Parse({"--version"}, options), Request::Version);
  for (const std::vector<std::string>& line : std::vector<std::vector<std::string>>{
           {}, {"--yes"}, {"--disk"}, {"--disk", "a.img"}, {"--force", "list"}, {"-y", "list"}}) {
    CliOptions refused;
    EXPECT_FALSE(Parse(line, refused)) << testing::PrintToString(line);
  }
}

TEST(ProgramArgumentsTest, CommandsAndTheirUsageLinesAreFoundByName) {
  ASSERT_NE(FindCommand("activate"), nullptr);
  EXPECT_EQ(FindCommand("activate")->run, RunActivate);
  EXPECT_EQ(FindCommand("Activate"), nullptr);
  EXPECT_EQ(FindCommand(""), nullptr);
  EXPECT_EQ(CommandUsage("delete"), "Aufruf: delete OBJEKT");
  EXPECT_EQ(CommandUsage("deactivate"), "Aufruf: deactivate OBJEKT");
  EXPECT_EQ(CommandUsage("scan"), "Aufruf: scan FESTPLATTE [--json]");
  // Every entry of the table has a form before its description.
  for (const CliCommand& command : CommandTable()) {
    const std::string usage = CommandUsage(command.name);
    EXPECT_EQ(usage.rfind(std::string("Aufruf: ") + command.name, 0), 0u) << usage;
    EXPECT_EQ(usage.find("   "), std::string::npos) << usage;
  }
}

}  // namespace
}  // namespace korvex
