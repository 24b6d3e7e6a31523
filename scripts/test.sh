#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh -DPROMEMO_WERROR=ON
ctest --test-dir build --output-on-failure -j "$(nproc)"
