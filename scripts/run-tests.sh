#!/usr/bin/env bash
# Fresh machine to a full test run: installs what is missing, builds, runs every test
# (unit, peer and boot tests). Extra arguments go to ctest, e.g. -L unit or -R Reader.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
# Tests never touch the user's own settings or demo disks.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export KORVEX_HOME="$scratch/home" XDG_CACHE_HOME="$scratch/cache"
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
