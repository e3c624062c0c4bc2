#!/usr/bin/env bash
# Builds Tarvelin from scratch and runs every test: installs what is missing, then the "ci"
# workflow (optimised build, warnings as errors, unit, widget and smoke tests through CTest),
# the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer ("asan" workflow,
# widget tests offscreen), and a bounded libFuzzer run of every fuzz target (FUZZ_SECONDS each).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build test web
cmake --workflow --preset ci
cmake --workflow --preset asan
scripts/fuzz-smoke.sh "${FUZZ_SECONDS:-30}"
