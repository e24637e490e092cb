#pragma once
// Runs another program and waits for it within a bound time. The program is started from an
// argument vector (never through a shell, so no argument is ever interpreted), in a process
// group of its own, with stdin and stdout on /dev/null; stderr stays the caller's so that the
// program's own complaints can be seen.
#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace korvex {

struct ProgramRun {
  std::string program;                 // path of the executable, run as it is (no search)
  std::vector<std::string> arguments;  // after the program's own name
  // Variables set in the program's environment on top of (or in place of) the caller's.
  std::vector<std::pair<std::string, std::string>> environment;
  std::chrono::milliseconds timeLimit{60'000};
};

enum class ProgramEnd {
  Exited,      // ended by itself; exitCode holds its status
  Abnormal,    // killed by a signal, or its end could not be learned
  TimedOut,    // still running after the time limit: its process group was killed
  NotStarted,  // the program could not be started
};

struct ProgramResult {
  ProgramEnd end = ProgramEnd::NotStarted;
  int exitCode = -1;

  bool Succeeded() const { return end == ProgramEnd::Exited && exitCode == 0; }
};

// Starts run.program and waits until it ends or the time limit passes; then its whole process
// group is killed (a program still running, and whatever it left behind when it ended by
// itself) and the program is reaped before this returns.
ProgramResult RunProgram(const ProgramRun& run);

}  // namespace korvex
