#!/usr/bin/env bash
# Builds the game (installing what it needs) and starts it in the caller's directory,
# so that the game's score file, xsxx.txt, is the one in that directory.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
(
  cd "$root"
  scripts/setup.sh g++ cmake make
  cmake -S . -B build >/dev/null
  cmake --build build -j"$(nproc)" --target gomoku >/dev/null
)
exec "$root/build/gomoku" "$@"
