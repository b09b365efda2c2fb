#!/usr/bin/env bash
# Builds the game (installing what it needs) and starts it in the caller's directory,
# so that the game's score file, xsxx.txt, is the one in that directory. The build's
# progress shows on standard error: the first build takes a minute or so.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
(
  cd "$root"
  scripts/setup.sh g++ cmake make
  echo "Building the game in $root/build ..." >&2
  cmake -S . -B build >/dev/null
  cmake --build build -j"$(nproc)" --target gomoku >&2
)
exec "$root/build/gomoku" "$@"
