#!/usr/bin/env bash
# Installs what is missing, then configures and builds into build/ (program folder build/Promemo/).
# Extra arguments go to CMake's configure step, e.g. -DPROMEMO_WERROR=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build
