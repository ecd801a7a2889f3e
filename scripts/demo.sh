#!/usr/bin/env bash
# Builds the plug-ins and zebsim, then loads and elaborates every deliverable.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
build/default/bin/zebsim list
