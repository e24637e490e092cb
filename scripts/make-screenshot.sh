#!/usr/bin/env bash
# Makes the README's picture of the main window on the demo disk set (docs/korvex-main.png):
# builds, then runs the program under Xvfb with its own registry store and demo disks.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export KORVEX_HOME="$scratch/home" XDG_CACHE_HOME="$scratch/cache" NO_AT_BRIDGE=1
./build/bin/korvex-cli registry ensure-catalogue data/parts.reg
mkdir -p docs
xvfb-run -a -s "-screen 0 1024x768x24" ./build/bin/korvex --demo --screenshot docs/korvex-main.png
echo "docs/korvex-main.png"
