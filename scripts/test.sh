#!/usr/bin/env bash
# Installs what is missing, builds Markwell with its tests and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh clang-14 libclang-rt-14-dev desktop-file-utils appstream libxml2-utils shared-mime-info poppler-utils \
  xvfb xdotool dbus-x11 at-spi2-core python3-pyatspi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARKWELL_TESTS=ON -DMARKWELL_BENCH=ON
cmake --build build-test --parallel
# The file-format fuzzers first (quietly, into build-fuzz/fuzz.log), so that ctest's summary
# closes the run.
if [ -x scripts/fuzz.sh ]; then
  mkdir -p build-fuzz
  if ! scripts/fuzz.sh > build-fuzz/fuzz.log 2>&1; then
    tail -n 40 build-fuzz/fuzz.log
    echo "fuzz: FAILED (see build-fuzz/fuzz.log)"
    exit 1
  fi
  grep -E '^(fuzz:|stat::number_of_executed_units)' build-fuzz/fuzz.log || true
fi
ctest --test-dir build-test --output-on-failure --parallel 2
