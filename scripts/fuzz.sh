#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer and runs each for SECONDS (default 30).
# Inputs that crash are saved under tests/fuzz/regressions/TARGET/, where the normal
# test run replays them.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
scripts/setup.sh clang cmake make
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DGOMOKU_FUZZ=ON -DBUILD_TESTING=ON -DGOMOKU_E2E=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_keys fuzz_reader fuzz_score fuzz_play fuzz_record
for target in keys reader score play record; do
  corpus=$(mktemp -d)
  cp tests/fuzz/regressions/$target/* "$corpus"/
  echo "fuzzing $target for ${seconds}s"
  build-fuzz/tests/fuzz_$target -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix=tests/fuzz/regressions/$target/ "$corpus" 2>&1 | tail -4
  rm -rf "$corpus"
done
