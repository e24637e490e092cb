#!/usr/bin/env bash
# Fresh machine to first result: installs what is missing, builds, sets up the user's registry
# store with the partition type catalogue, and shows the working copy of the demo disk set.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
./build/bin/korvex-cli registry ensure-catalogue data/parts.reg
./build/bin/korvex-cli --demo list
