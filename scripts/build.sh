#!/usr/bin/env bash
# Configures and builds everything (program, tests, benchmark) into ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANJIAN_WERROR=ON "$@"
cmake --build build -j"$(nproc)"
