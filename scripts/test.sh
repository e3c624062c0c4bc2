#!/usr/bin/env bash
# Builds Tarvelin from scratch and runs every test: installs what is missing, then the "ci"
# workflow (optimised build, warnings as errors, unit, widget and smoke tests through CTest).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --workflow --preset ci
