#include "platform/RestartService.h"

#include <sys/wait.h>
#include <unistd.h>

namespace korvex {
namespace {

class SystemdRestart final : public IRestartService {
 public:
  bool Restart() override {
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
      ::execlp("systemctl", "systemctl", "reboot", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
};

}  // namespace

std::unique_ptr<IRestartService> SystemRestartService() { return std::make_unique<SystemdRestart>(); }

}  // namespace korvex
