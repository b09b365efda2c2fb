#!/usr/bin/env bash
# Builds the game (installing what it needs) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh g++ cmake make
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target gomoku >/dev/null
exec build/gomoku
