#!/usr/bin/env bash
# Fresh Debian 12: install what is missing, build, start the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/app/lanjian
