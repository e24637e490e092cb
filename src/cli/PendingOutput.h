#pragma once
// The changes a save would write, as korvex-cli shows them: one line each on stdout, or as the
// JSON array "pending" ({"disk": N, "text": "…"}).
#include <optional>
#include <vector>

#include "cli/CliSession.h"
#include "cli/Json.h"
#include "shell/PendingOperations.h"

namespace korvex {

void WritePendingJson(JsonWriter& json, const std::vector<PendingOperation>& operations);

// --dry-run: instead of the save, the changes of every disk (or of device alone) are printed
// and nothing is written. Exit status 0.
int ReportDryRun(CliSession& session, std::optional<unsigned> device);

}  // namespace korvex
