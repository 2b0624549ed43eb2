#!/usr/bin/env bash
# Renders the main window, with a small sample knowledge base, to
# docs/screenshot.png on Qt's offscreen platform (no display needed).
# BUILD_DIR chooses the build directory (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
cmake -S . -B "$build" -DLANJIAN_WERROR=ON >/dev/null
cmake --build "$build" --target lanjian_screenshot -j2
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build/app/lanjian_screenshot" docs/screenshot.png
echo "wrote docs/screenshot.png"
