#!/usr/bin/env bash
# Builds the game and runs every test: unit tests and end-to-end tests in tmux.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh g++ cmake make libgtest-dev tmux python3 procps locales strace groff-base clang-format
cmake -S . -B build -DBUILD_TESTING=ON >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j2
