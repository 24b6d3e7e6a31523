#!/usr/bin/env bash
# Installs the npm clients the client tests run (ical.js, ts-ics) into <dir>/node_modules, never
# into the repository. Without npm or the registry the tests that need them are skipped.
set -uo pipefail
dir=${1:?usage: setup_clients.sh <dir>}
mkdir -p "$dir"
if [ -f "$dir/node_modules/ical.js/package.json" ] && [ -f "$dir/node_modules/ts-ics/package.json" ]; then
  exit 0
fi
if ! command -v npm >/dev/null; then
  echo "npm is missing: the ical.js and ts-ics tests will be skipped (scripts/setup.sh installs it)"
  exit 0
fi
timeout 240 npm install --no-save --no-audit --no-fund --no-package-lock --prefix "$dir" ical.js ts-ics \
  >"$dir/npm-install.log" 2>&1 || {
  echo "npm install failed: the ical.js and ts-ics tests will be skipped"
  tail -c 2000 "$dir/npm-install.log"
}
exit 0
