#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <string_view>

extern char** environ;

namespace korvex {
namespace {

// The caller's environment with the run's variables put in place of the caller's own.
std::vector<std::string> ChildEnvironment(const ProgramRun& run) {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::string_view name = text.substr(0, text.find('='));
    const bool replaced = std::any_of(run.environment.begin(), run.environment.end(),
                                      [&](const auto& variable) { return variable.first == name; });
    if (!replaced) variables.emplace_back(text);
  }
  for (const auto& [name, value] : run.environment) variables.push_back(name + "=" + value);
  return variables;
}

std::vector<char*> NullTerminated(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// How the child starts: stdin and stdout on /dev/null, its own process group (so that a time
// out can end everything it started, and the terminal's Ctrl-C does not cut a transfer short),
// no blocked signals, and the usual ending signals back at their defaults.
class SpawnSetup {
 public:
  SpawnSetup() {
    if (::posix_spawn_file_actions_init(&actions_) != 0) return;
    if (::posix_spawnattr_init(&attributes_) != 0) {
      ::posix_spawn_file_actions_destroy(&actions_);
      return;
    }
    initialised_ = true;
    sigset_t none;
    sigset_t defaults;
    ::sigemptyset(&none);
    ::sigemptyset(&defaults);
    for (const int signal : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGPIPE}) ::sigaddset(&defaults, signal);
    ready_ = ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0 &&
             ::posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
             ::posix_spawnattr_setpgroup(&attributes_, 0) == 0 &&
             ::posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
             ::posix_spawnattr_setsigdefault(&attributes_, &defaults) == 0 &&
             ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                          POSIX_SPAWN_SETSIGDEF) == 0;
  }
  ~SpawnSetup() {
    if (!initialised_) return;
    ::posix_spawnattr_destroy(&attributes_);
    ::posix_spawn_file_actions_destroy(&actions_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  bool ready() const { return ready_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_{};
  posix_spawnattr_t attributes_{};
  bool initialised_ = false;
  bool ready_ = false;
};

// True when the child ended within limit. Waits on a pidfd, so the end is seen at once and no
// signal handler is needed; without a pidfd the child counts as not ended (and is killed).
bool EndsWithin(pid_t child, std::chrono::milliseconds limit) {
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
  if (pidfd < 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool ended = false;
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd wait{pidfd, POLLIN, 0};
    const int ready = ::poll(&wait, 1, static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, INT_MAX)));
    if (ready > 0) ended = true;
    if (ready >= 0 || errno != EINTR) break;
  }
  ::close(pidfd);
  return ended;
}

}  // namespace

ProgramResult RunProgram(const ProgramRun& run) {
  const SpawnSetup setup;
  if (!setup.ready()) return {};
  std::vector<std::string> argumentTexts{run.program};
  argumentTexts.insert(argumentTexts.end(), run.arguments.begin(), run.arguments.end());
  std::vector<std::string> environmentTexts = ChildEnvironment(run);
  const std::vector<char*> argv = NullTerminated(argumentTexts);
  const std::vector<char*> envp = NullTerminated(environmentTexts);

  pid_t child = 0;
  if (::posix_spawn(&child, run.program.c_str(), setup.actions(), setup.attributes(), argv.data(), envp.data()) != 0) {
    return {};
  }
  const bool ended = EndsWithin(child, run.timeLimit);
  // The child leads its own group: end everything it started, also after it ended by itself,
  // so that no process it left behind keeps running with our stderr. The child is not reaped
  // yet, so its process id (the group's id) cannot have been given to another process.
  ::kill(-child, SIGKILL);
  int status = 0;
  pid_t reaped = 0;
  do {
    reaped = ::waitpid(child, &status, 0);
  } while (reaped < 0 && errno == EINTR);
  if (!ended) return {ProgramEnd::TimedOut, -1};
  if (reaped == child && WIFEXITED(status)) return {ProgramEnd::Exited, WEXITSTATUS(status)};
  return {ProgramEnd::Abnormal, -1};
}

}  // namespace korvex
