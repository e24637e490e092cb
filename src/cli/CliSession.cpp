#include "cli/CliSession.h"

#include <cstdio>

namespace korvex {

void PrintError(const std::string& text) { std::fprintf(stderr, "korvex-cli: %s\n", text.c_str()); }

bool CliSession::OpenPlatform() {
  StartResult started = StartProgram({options_.diskSpecs, options_.demo, false, {}}, prompt_);
  if (!started.context) {
    PrintError(started.error);
    return false;
  }
  context_ = std::move(started.context);
  return true;
}

}  // namespace korvex
