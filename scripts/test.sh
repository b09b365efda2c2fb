#!/usr/bin/env bash
# Builds the game and runs every test: unit tests and end-to-end tests in tmux, then the
# Windows build, cross-built with mingw-w64, with its unit tests and games under wine;
# each build's tests include the package that cpack makes from it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh g++ cmake make libgtest-dev tmux python3 procps locales strace groff-base clang-format dpkg-dev \
  g++-mingw-w64-x86-64-posix wine64
cmake -S . -B build -DBUILD_TESTING=ON >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j2
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DBUILD_TESTING=ON >/dev/null
cmake --build build-win -j"$(nproc)"
ctest --test-dir build-win --output-on-failure -j2
