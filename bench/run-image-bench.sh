#!/usr/bin/env bash
# The partition image benchmark: installs what is missing (the project's packages through
# scripts/install-deps.sh, the peer tools here), builds, and runs image_bench.py, which prints
# the table of medians and ratios. Arguments go to image_bench.py (e.g. --runs 5 --mib 256).
set -euo pipefail
cd "$(dirname "$0")/.."

peers=(
  pbzip2   # the parallel bzip2 a user would pick to compress a partition copy
  lbzip2   # the other parallel bzip2
  time     # GNU time: wall time and peak memory of every command
)
missing=()
for p in "${peers[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

./scripts/build.sh
exec python3 bench/image_bench.py --cli build/bin/korvex-cli "$@"
