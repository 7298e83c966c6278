#!/usr/bin/env bash
# Installs the Debian 12 packages Markwell needs to build, run and test, when they are missing.
# Usage: scripts/deps.sh [extra-package...]
set -euo pipefail
packages=(g++ cmake ninja-build qt6-base-dev qt6-svg-dev qt6-charts-dev libgtest-dev libgmock-dev
          libbenchmark-dev libcsv-dev libzip-dev libpugixml-dev "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
