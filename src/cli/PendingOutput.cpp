#include "cli/PendingOutput.h"

#include <cstdio>

#include "platform/Texts.h"

namespace korvex {

void WritePendingJson(JsonWriter& json, const std::vector<PendingOperation>& operations) {
  json.Key("pending").BeginArray();
  for (const PendingOperation& operation : operations) {
    json.BeginObject().Field("disk", std::int64_t{operation.device}).Field("text", operation.text).EndObject();
  }
  json.EndArray();
}

int ReportDryRun(CliSession& session, std::optional<unsigned> device) {
  const auto operations = device ? PendingOperationsOf(session.workingCopy(), *device, session.registry())
                                 : PendingOperations(session.workingCopy(), session.registry());
  if (session.options().json) {
    JsonWriter json;
    json.BeginObject();
    WritePendingJson(json, operations);
    json.EndObject();
    std::printf("%s\n", json.str().c_str());
  } else {
    if (operations.empty()) std::printf("%s\n", text::kDryRunNothing);
    for (const PendingOperation& operation : operations) std::printf("%s\n", operation.text.c_str());
  }
  std::fflush(stdout);
  std::fprintf(stderr, "korvex-cli: %s\n", text::kDryRunDone);
  return kExitOk;
}

}  // namespace korvex
