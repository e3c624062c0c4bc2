#!/usr/bin/env bash
# Builds Tarvelin (release preset) and runs it: installs what is missing, builds, then extracts
# the cue lines of the bundled sample list with tarvelin-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
build/release/cli/tarvelin-cli extract tests/data/sample/Beispiel.edl
