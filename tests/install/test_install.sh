#!/usr/bin/env bash
# Installs the built suite into a temporary prefix twice and uninstalls it: the second install
# keeps the user's data and settings, the uninstall removes exactly what was installed.
set -euo pipefail
build="$1"
source_dir="$2"
prefix="$(mktemp -d)"
manifest="$build/install_manifest.txt"
saved=""
if [[ -f "$manifest" ]]; then saved="$(mktemp)"; cp "$manifest" "$saved"; fi
cleanup() {
  rm -rf "$prefix"
  if [[ -n "$saved" ]]; then mv "$saved" "$manifest"; else rm -f "$manifest"; fi
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
folder="$prefix/share/promemo"
for program in Notino Kundo Kalvo Kespo Kirmo Vigilo Elenko Mesaro Verifo Aiuto; do
  [[ -x "$folder/$program" ]] || fail "$program not installed"
done
for file in Notino.ini suono.wav help/intro.htm icons/promemo-64.png; do
  [[ -f "$folder/$file" ]] || fail "$file not installed"
done
entry="$prefix/share/applications/promemo.desktop"
grep -qx "Exec=\"$folder/Notino\"" "$entry" || fail "menu entry does not start $folder/Notino"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "menu entry is not a valid desktop entry"
fi
[[ -f "$prefix/share/icons/hicolor/48x48/apps/promemo.png" ]] || fail "icon not installed"

# The user's files survive a second install.
printf '[Opzioni]\r\ncolore=3\r\n' > "$folder/Notino.ini"
for data in o9999h0570n12345.dat archivio.dat rico.dat ricf.dat rubri.dat; do echo kept > "$folder/$data"; done
cmake --install "$build" --prefix "$prefix" >/dev/null
[[ "$(cat "$folder/Notino.ini")" == $'[Opzioni]\r\ncolore=3\r' ]] || fail "Notino.ini overwritten"

bash "$source_dir/scripts/uninstall.sh" "$build" >/dev/null
left="$(cd "$prefix" && find . -type f | sort | tr '\n' ' ')"
expected="./share/promemo/Notino.ini ./share/promemo/archivio.dat ./share/promemo/o9999h0570n12345.dat ./share/promemo/ricf.dat ./share/promemo/rico.dat ./share/promemo/rubri.dat "
[[ "$left" == "$expected" ]] || fail "after uninstall: $left"
[[ -z "$(cd "$prefix" && find . -mindepth 1 -type d -empty)" ]] || fail "empty folders left"
echo "install, reinstall and uninstall behave"
