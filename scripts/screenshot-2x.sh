#!/usr/bin/env bash
# Pictures of every window as a 2x screen shows them (QT_SCALE_FACTOR=2, offscreen), to look
# for clipped captions and controls. The same run checks the layouts and fails on a clip.
# Usage: scripts/screenshot-2x.sh [OUTPUT_FOLDER]   (default: build-shots/screenshots-2x)
# SCALE=1 scripts/screenshot-2x.sh docs/shots takes them at 1x instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scale="${SCALE:-2}"
out="$(realpath -m "${1:-build-shots/screenshots-${scale}x}")"
cmake -S . -B build-shots -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARKWELL_TESTS=ON >/dev/null
cmake --build build-shots --target packaging_high_dpi --parallel 2
mkdir -p "$out"
status=0
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR="$scale" MARKWELL_GRAB_DIR="$out" \
  build-shots/tests/packaging/packaging_high_dpi --gtest_brief=1 || status=$?
ls -1 "$out"/*.png
[ "$status" -eq 0 ] || echo "Some window clips a control or a caption (see above)."
exit "$status"
