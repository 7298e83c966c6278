#!/usr/bin/env bash
# Installs what is missing, builds Markwell and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DMARKWELL_TESTS=OFF
cmake --build build --parallel
if [ -x build/src/markwell ]; then
  exec build/src/markwell "$@"
fi
echo "Built; the program itself is not there yet."
