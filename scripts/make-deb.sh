#!/usr/bin/env bash
# Builds the Debian package korvex_VERSION-1_ARCH.deb with CPack's DEB generator from a build
# tree: the files of `cmake --install` (component korvex, under /usr), stripped, with the
# library dependencies dpkg-shlibdeps finds (packaging/CMakeLists.txt holds the settings).
#   scripts/make-deb.sh [OUT_DIR [BUILD_DIR]]
# Without BUILD_DIR it builds into build/ first; with it, it takes that build as it is.
# OUT_DIR (default build/deb) receives the package; its path is printed last.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/deb}
build=${2:-}
if [ -z "$build" ]; then
  ./scripts/build.sh
  build=build
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
# CPack works in a folder of its own, so that two packages made at once do not meet.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log") || { cat "$work/cpack.log" >&2; exit 1; }
package=$(find "$work" -maxdepth 1 -name 'korvex_*.deb' -print -quit)
if [ -z "$package" ]; then
  cat "$work/cpack.log" >&2
  echo "make-deb.sh: cpack made no package" >&2
  exit 1
fi
mv -f "$package" "$out/"
echo "$out/$(basename "$package")"
