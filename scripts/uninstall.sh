#!/usr/bin/env bash
# Removes what `cmake --install` put in place, as listed in <build>/install_manifest.txt,
# except the settings file Notino.ini. Notes, archive, recurrences and address book were never
# installed and stay; the program folder itself goes only when nothing of the user's is left.
set -euo pipefail
cd "$(dirname "$0")/.."
manifest="${1:-build}/install_manifest.txt"
if [[ ! -f "$manifest" ]]; then
  echo "No $manifest: nothing installed from this build folder." >&2
  exit 1
fi
folders=()
while IFS= read -r file || [[ -n "$file" ]]; do
  [[ -z "$file" ]] && continue
  case "$file" in
    */share/promemo/Notino.ini) continue ;;
  esac
  rm -f -- "$file"
  folders+=("$(dirname -- "$file")")
done < "$manifest"
# Folders left empty, up to the prefix's share folder: help/, icons/, the icon theme's size
# folders, the program folder once nothing of the user's is in it. rmdir never removes a
# folder that still holds something.
printf '%s\n' "${folders[@]}" | sort -u | while IFS= read -r folder; do
  while [[ "$folder" == */share/* ]] && rmdir -- "$folder" 2>/dev/null; do
    folder="$(dirname -- "$folder")"
  done
done
echo "Promemo uninstalled; data files left in place were kept."
