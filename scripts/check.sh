#!/usr/bin/env bash
# Builds the 64-bit, the 32-bit (kernel record layout) and the sanitizer configuration with
# warnings as errors, and runs the test suite in each.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
presets=("${@:-default m32 asan}")
for preset in ${presets[@]}; do
  echo "== $preset"
  cmake --preset "$preset" -DZEB_WERROR=ON >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done
