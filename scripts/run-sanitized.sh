#!/usr/bin/env bash
# The sanitizer build (clang, ASan + UBSan) in build-san/: runs the unit tests and then each
# fuzz target for FUZZ_SECONDS (default 45) on a seed corpus written by the project's own image
# builder. Fails on the first sanitizer report, failed test or fuzzer crash.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
seconds=${FUZZ_SECONDS:-45}
cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DKORVEX_SANITIZE=ON -DKORVEX_WERROR=OFF >/dev/null
ninja -C build-san korvex_tests korvex_fuzz_TableReader korvex_fuzz_EngineArea korvex_fuzz_BackupFile \
      korvex_fuzz_RegParser korvex_fuzz_SectorHelper korvex_fuzz_SectorClassifier korvex_fuzz_ImageReader \
      korvex_fuzz_seeds

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export KORVEX_HOME="$scratch/home" XDG_CACHE_HOME="$scratch/cache"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== unit tests under ASan and UBSan"
./build-san/tests/korvex_tests --gtest_brief=1

echo "== fuzz targets, ${seconds} s each"
./build-san/fuzz/korvex_fuzz_seeds "$scratch/seeds" data/parts.reg
root=$(pwd)
for target in TableReader:table EngineArea:engine BackupFile:backup RegParser:reg SectorHelper:helper \
              SectorClassifier:scan ImageReader:image; do
  name=${target%%:*}
  corpus="$scratch/corpus-$name"
  log="$scratch/fuzz-$name.log"
  mkdir -p "$corpus"
  echo "-- $name"
  if ! (cd "$scratch" && "$root/build-san/fuzz/korvex_fuzz_$name" -max_total_time="$seconds" -max_len=262144 \
          -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$corpus" "$scratch/seeds/${target##*:}" >"$log" 2>&1); then
    tail -n 60 "$log"
    echo "fuzz target $name failed (crash input kept in the log above)"
    exit 1
  fi
  grep -E "^(Done [0-9]+ runs|stat::number_of_executed_units|stat::peak_rss_mb)" "$log"
done
