#!/usr/bin/env bash
# Builds Tarvelin from scratch and runs every test: installs what is missing, then the "ci"
# workflow (optimised build, warnings as errors, unit, widget and smoke tests through CTest in
# parallel, and the Debian package built from that build and checked with lintian,
# desktop-file-validate and appstreamcli), the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer ("asan" workflow, widget tests offscreen; checks that run no C++ and
# the package check are left out), a bounded libFuzzer run of every fuzz target (FUZZ_SECONDS
# each), and the formatting check (scripts/format.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build test package web
cmake --workflow --preset ci
cmake --workflow --preset asan
scripts/fuzz-smoke.sh "${FUZZ_SECONDS:-30}"
scripts/format.sh
