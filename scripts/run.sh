#!/usr/bin/env bash
# Builds Tarvelin (release preset) and starts the program. Without a display ($DISPLAY and
# $WAYLAND_DISPLAY both empty) it says so and converts the bundled sample list with tarvelin-cli
# instead: the cue lines, then the cue list as a text table.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake --preset release
cmake --build --preset release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Kein Bildschirm verfügbar (DISPLAY und WAYLAND_DISPLAY sind leer):" \
       "statt des Programms folgt die Umwandlung der Beispielliste auf der Kommandozeile." >&2
  sample=tests/data/sample/Beispiel.edl
  build/release/cli/tarvelin-cli extract "$sample"
  echo
  build/release/cli/tarvelin-cli convert --format text "$sample"
  exit 0
fi

exec build/release/app/tarvelin "$@"
