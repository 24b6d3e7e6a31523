#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UBSan) into build-fuzz/ and runs
# each for a while. Usage: scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/setup.sh
command -v clang++ >/dev/null || { sudo_cmd=(); [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo); "${sudo_cmd[@]}" apt-get install -y -qq clang libclang-rt-dev; }
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPROMEMO_FUZZ=ON -DPROMEMO_TESTS=OFF -DPROMEMO_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz
status=0
for target in build-fuzz/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  echo "== $name: ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -print_final_stats=0 "$corpus" 2>"build-fuzz/$name.log"; then
    echo "$name found a problem; see build-fuzz/$name.log" >&2
    status=1
  else
    tail -n 1 "build-fuzz/$name.log"
  fi
done
exit $status
