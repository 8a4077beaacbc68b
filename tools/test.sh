#!/usr/bin/env bash
# Runs the whole test suite of the build in ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
