#!/usr/bin/env bash
# Draws the main window offscreen with a small sample grade book into docs/screenshot.png,
# the GPA overview beside it into docs/overview.png and (dark) docs/overview-dark.png, and its
# Plan tab with a plan into docs/plan.png and docs/plan-trend.png, and the class sheet into
# docs/sheet.png (the paste preview goes to build-screenshot/paste*.png, to look at).
# Run it again whenever the window changes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build-screenshot -G Ninja -DCMAKE_BUILD_TYPE=Release -DMARKWELL_TESTS=OFF \
  -DMARKWELL_BENCH=ON
cmake --build build-screenshot --target main_window_screenshot --parallel 2
mkdir -p docs
QT_QPA_PLATFORM=offscreen build-screenshot/bench/gui/main_window_screenshot docs/screenshot.png \
  docs/overview.png docs/overview-dark.png docs/plan.png docs/plan-trend.png docs/sheet.png \
  build-screenshot/paste.png
echo "docs/screenshot.png, overview.png, overview-dark.png, plan.png, plan-trend.png and sheet.png written"
