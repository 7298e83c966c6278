#!/usr/bin/env bash
# Installs what is missing, builds Markwell with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh clang-14 libclang-rt-14-dev desktop-file-utils appstream libxml2-utils shared-mime-info
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARKWELL_TESTS=ON
cmake --build build-test --parallel
ctest --test-dir build-test --output-on-failure --parallel 2
if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh
fi
