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

// Restarts through systemd ("systemctl reboot"), the way a desktop session does.
std::unique_ptr<IRestartService> SystemRestartService();

}  // namespace korvex
