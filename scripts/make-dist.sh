#!/usr/bin/env bash
# Lays out the installer's distribution folder: korvex-setup with the files it installs
# (korvex, korvex-cli, korvex95, parts.reg), side by side in one folder.
#   scripts/make-dist.sh [DIST_DIR [BUILD_DIR]]
# Without BUILD_DIR it builds into build/ first; with it, it takes that build as it is.
# DIST_DIR (default build/dist) is made when missing; files of the same names are replaced.
set -euo pipefail
cd "$(dirname "$0")/.."
dist=${1:-build/dist}
build=${2:-}
if [ -z "$build" ]; then
  ./scripts/build.sh
  build=build
fi
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for component in korvex setup; do
  cmake --install "$build" --prefix "$stage" --strip --component "$component" >/dev/null
done
mkdir -p "$dist"
for program in korvex-setup korvex korvex-cli; do
  cp -f "$stage/bin/$program" "$dist/"
done
# An installation keeps the sector helper in libexec/korvex; the distribution folder beside the
# programs, where the installer copies it from.
cp -f "$stage/libexec/korvex/korvex95" "$dist/"
cp -f "$stage/share/korvex/parts.reg" "$dist/"
echo "$dist"
