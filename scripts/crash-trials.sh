#!/usr/bin/env bash
# Kills a saving store process at random moments N times (default 1000) and
# checks after each kill that the knowledge base is sound and holds every save
# that had been reported. Usage: scripts/crash-trials.sh [N] [seed]
set -euo pipefail
cd "$(dirname "$0")/.."
trials="${1:-1000}"
build="${LANJIAN_BUILD_DIR:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLANJIAN_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target store_crashtrials store_worker
export LANJIAN_CRASH_TRIALS="$trials"
# Qt Test stops a test function after five minutes unless told otherwise.
export QTEST_FUNCTION_TIMEOUT=$((trials * 2000 + 60000))
[ $# -ge 2 ] && export LANJIAN_CRASH_SEED="$2"
QT_QPA_PLATFORM=offscreen "$build/tests/store_crashtrials" killedSavesLoseNothingReported
