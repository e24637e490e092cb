#pragma once
// Restarting the machine so that new tables take effect; tests replace it.
#include <memory>

namespace korvex {

class IRestartService {
 public:
  virtual ~IRestartService() = default;
  // Asks the system to restart; false when it refuses (missing rights).
  virtual bool Restart() = 0;
};

// Restarts through systemd ("systemctl reboot"), the way a desktop session does. When
// KORVEX_RESTART_COMMAND is set, that shell command runs instead (its exit status 0 counts as
// an accepted restart); tests use it to see the restart without restarting.
std::unique_ptr<IRestartService> SystemRestartService();

}  // namespace korvex
