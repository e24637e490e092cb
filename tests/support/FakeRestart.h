#pragma once
// A restart service for tests: counts the restart requests and accepts or refuses them.
#include "platform/RestartService.h"

namespace korvex::test {

class FakeRestart final : public IRestartService {
 public:
  bool Restart() override {
    ++calls;
    return accept;
  }
  int calls = 0;
  bool accept = true;
};

}  // namespace korvex::test
