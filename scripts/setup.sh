#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test. Idempotent.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins libgl-dev
  libcanberra-dev libx11-dev libxi-dev libical-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core
  poppler-utils xvfb xauth openbox trayer xdotool x11-utils faketime desktop-file-utils
  dbus-daemon
  khal calcurse khard vdirsyncer radicale python3
)
# The JavaScript clients of the tests come from npm (tests/clients/setup_clients.sh); a node
# from elsewhere that brings its own npm is kept.
command -v npm >/dev/null || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
