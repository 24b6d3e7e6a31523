#!/usr/bin/env bash
# Builds the suite and starts it from the program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Promemo needs a graphical desktop session: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
  exit 1
fi
bash scripts/build.sh
folder=build/Promemo
if [ -x "$folder/Notino" ]; then
  exec "$folder/Notino"
fi
exec "$folder/Aiuto" intro.htm
