#!/usr/bin/env bash
# Builds the release configurator in build/ and starts it.
set -u
cd "$(dirname "$0")"
source scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null || exit 1
cmake --build build --target configurator -j "$jobs" || exit 1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: set DISPLAY (or WAYLAND_DISPLAY) to start the configurator." >&2
  exit 2
fi
exec build/configurator
