#!/usr/bin/env bash
# Builds the release configurator in build/, installs it into its program
# folder and starts it there. The program keeps the user's configurations and
# settings beside itself, so it must not run from the build tree, which may be
# cleaned at any time.
set -u
cd "$(dirname "$0")"
source scripts/deps.sh
program_folder=${CONFIGURATOR_FOLDER:-${XDG_DATA_HOME:-$HOME/.local/share}/x5k15-configurator}
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null || exit 1
cmake --build build --target configurator -j "$jobs" || exit 1

mkdir -p "$program_folder" || exit 1
# A first install takes over what an earlier version kept in build/ (copied,
# so nothing is lost if the copy is cut short).
if [ ! -e "$program_folder/configurator" ]; then
  for item in PROJECTS MASTER LANGUAGE Vudidid.xml Ethernet_Update.exe libOPC_UA_Search.so; do
    if [ -e "build/$item" ] && [ ! -e "$program_folder/$item" ]; then
      cp -a "build/$item" "$program_folder/$item" || exit 1
      echo "Copied build/$item to $program_folder/$item"
    fi
  done
fi
mkdir -p "$program_folder/LANGUAGE" || exit 1

# Copies $1 to $2 with mode $3 by a rename, so a running copy and a
# half-written file are never met; the temporary name is a fresh one. With
# "keep", a different file already at $2 (a language file the user may have
# edited) is kept beside it as a .bak.
install_file() {
  local from=$1 to=$2 mode=$3 keep=${4:-} temp kept
  cmp -s "$from" "$to" && return 0
  if [ "$keep" = keep ] && [ -e "$to" ]; then
    kept=$(mktemp --suffix=.bak "$to.$(date +%Y%m%d).XXXX") && cp -p "$to" "$kept" || return 1
    echo "Kept the former $(basename "$to") as $kept"
  fi
  temp=$(mktemp "$to.XXXXXX") || return 1
  install -m "$mode" "$from" "$temp" && mv -f "$temp" "$to" || { rm -f "$temp"; return 1; }
}
install_file build/configurator "$program_folder/configurator" 755 || exit 1
for file in English.lng English.bmp; do
  install_file "build/LANGUAGE/$file" "$program_folder/LANGUAGE/$file" 644 keep || exit 1
done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Installed in $program_folder. No display: set DISPLAY (or WAYLAND_DISPLAY) to start the configurator." >&2
  exit 2
fi
exec "$program_folder/configurator"
