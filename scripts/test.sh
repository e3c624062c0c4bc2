#!/usr/bin/env bash
# Builds Tarvelin from scratch and runs every test: installs what is missing, checks the
# formatting (scripts/format.sh), then
# - the "ci" pass: GCC, optimised build with line tables, warnings as errors; unit, widget, CLI,
#   browser and smoke tests through CTest in parallel, and the Debian package built from that
#   build and checked with lintian, desktop-file-validate and appstreamcli;
# - the "asan" pass: clang, AddressSanitizer and UndefinedBehaviorSanitizer, the suite again (widget
#   tests offscreen; checks that run no C++ and the package check are left out);
# - a bounded libFuzzer run of all fuzz targets at once (FUZZ_SECONDS each, default 45, sharing the
#   cores).
# The sanitizer and fuzz builds compile while the ci pass's tests run: those wait on the browser,
# on processes and on files much of the time, and the compiler takes up the idle cores. Their
# output goes to build/background-build.log and is shown when they fail.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build test package web
scripts/format.sh

cmake --preset ci
cmake --build --preset ci
cmake --preset asan >/dev/null
cmake --preset fuzz >/dev/null

log=build/background-build.log
(cmake --build --preset asan && cmake --build --preset fuzz) >"$log" 2>&1 &
background=$!
ci_status=0
ctest --preset ci || ci_status=$?
build_status=0
wait "$background" || build_status=$?
if [ "$build_status" -ne 0 ]; then
  cat "$log"
  echo "test.sh: the sanitizer or fuzz build failed" >&2
  exit "$build_status"
fi
[ "$ci_status" -eq 0 ] || exit "$ci_status"

ctest --preset asan
scripts/fuzz-smoke.sh "${FUZZ_SECONDS:-45}"
