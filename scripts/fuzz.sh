#!/usr/bin/env bash
# Builds the grade book and table reader fuzz targets with clang 14 (in build-fuzz/), replays the
# committed regression inputs, then runs each target over its seed corpus for a short time.
# Fails on any finding. Without clang++-14 it skips quietly.
# FUZZ_SECONDS sets the time per target (30 by default); FUZZ_RUNS, when set, runs that many
# executions per target instead.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++-14 >/dev/null 2>&1; then
  echo "fuzz: clang++-14 not found; skipped"
  exit 0
fi
seconds="${FUZZ_SECONDS:-30}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 -DMARKWELL_GUI=OFF -DMARKWELL_TESTS=OFF -DMARKWELL_FUZZ=ON \
  >/dev/null
cmake --build build-fuzz --parallel 2 --target plain_reader_fuzz protected_reader_fuzz \
  table_reader_fuzz
mkdir -p build-fuzz/artifacts
for form in plain protected table; do
  target="build-fuzz/fuzz/${form}_reader_fuzz"
  regressions=(fuzz/regressions/"$form"/*)
  if [ -e "${regressions[0]}" ]; then
    echo "fuzz: replaying ${#regressions[@]} regression input(s) for the $form reader"
    "$target" -artifact_prefix=build-fuzz/artifacts/ "${regressions[@]}"
  fi
  # New inputs go to a scratch folder; the committed corpus is only read.
  scratch="build-fuzz/corpus-$form"
  mkdir -p "$scratch"
  limit=(-max_total_time="$seconds")
  [ -n "${FUZZ_RUNS:-}" ] && limit=(-runs="$FUZZ_RUNS")
  echo "fuzz: $form reader"
  # Workbooks are zip archives of a few kilobytes at least.
  max_len=8192
  [ "$form" = table ] && max_len=16384
  "$target" "${limit[@]}" -max_len="$max_len" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/artifacts/ "$scratch" "fuzz/corpus/$form"
done
