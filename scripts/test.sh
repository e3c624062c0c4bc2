#!/usr/bin/env bash
# Builds Tarvelin from scratch and runs every test: installs what is missing, checks the
# formatting (scripts/format.sh), then
# - the "ci" pass: GCC, optimised build with line tables, warnings as errors; unit, widget, CLI,
#   browser and smoke tests through CTest in parallel, and the Debian package built from that
#   build and checked with lintian, desktop-file-validate and appstreamcli;
# - the "asan" pass: clang, AddressSanitizer and UndefinedBehaviorSanitizer, the suite again (widget
#   tests offscreen; checks that run no C++ and the package check are left out);
# - a bounded libFuzzer run of all fuzz targets at once, sharing the cores: each executes a fixed
#   number of inputs (scripts/fuzz-smoke.sh), or runs FUZZ_SECONDS when that is set.
# Builds that do not depend on each other overlap: the page (emscripten) builds beside the ci
# build, and the sanitizer and fuzz builds run from the start at the lowest priorities (the fuzz
# build below the asan build, which the next tests need first), so they take only the processor
# time the ci build and the tests before them leave unused (those wait on the browser, on
# processes and on files much of the time). The background builds write their output to
# build/*.log, which is shown when they fail.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build test package web
scripts/format.sh

mkdir -p build
# Background commands, each with its output in build/NAME.log; stopped if the run ends early.
declare -A pids
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
background() {
  local name=$1
  shift
  "$@" >"build/$name.log" 2>&1 &
  pids[$name]=$!
}
# Waits for a background command; on failure shows its output and ends the run.
finish() {
  local name=$1 status=0
  wait "${pids[$name]}" || status=$?
  unset "pids[$name]"
  if [ "$status" -ne 0 ]; then
    cat "build/$name.log"
    echo "test.sh: $name failed" >&2
    exit "$status"
  fi
}

background page-build scripts/web.sh --build-only
background asan-build sh -c 'cmake --preset asan && exec nice -n 19 cmake --build --preset asan'
background fuzz-build sh -c 'cmake --preset fuzz && exec chrt --idle 0 cmake --build --preset fuzz'
cmake --preset ci

cmake --build --preset ci
finish page-build
ctest --preset ci
finish asan-build
ctest --preset asan
finish fuzz-build
scripts/fuzz-smoke.sh "${FUZZ_SECONDS:-runs}"
