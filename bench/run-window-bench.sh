#!/usr/bin/env bash
# The window program's start-up benchmark (window_start.py) under Xvfb: builds, then starts the
# program on 1 and on 16 disk images until its tree is painted, and measures its idle CPU time.
# Arguments go to window_start.py (e.g. --rounds 9 --idle 30).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
exec xvfb-run -a -s "-screen 0 1280x1024x24" python3 bench/window_start.py "$@"
