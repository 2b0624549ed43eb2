#!/usr/bin/env bash
# Fresh Debian 12: install what is missing, build, run a short smoke run of
# each fuzz target (scripts/fuzz.sh runs them longer), then every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
scripts/fuzz.sh 3
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
