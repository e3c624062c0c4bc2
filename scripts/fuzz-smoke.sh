#!/usr/bin/env bash
# Builds the libFuzzer targets (the "fuzz" preset, clang with ASan and UBSan) and runs them all at
# once on a scratch copy of each seed corpus, each for a bounded time or a fixed number of inputs;
# on a machine with fewer cores than targets they share the cores. Exits non-zero when a target
# crashes, leaks, runs out of memory or hangs on an input; the input is kept in the findings
# folder.
#
# Usage: scripts/fuzz-smoke.sh [LIMIT] [TARGET...]
#   LIMIT   seconds per target, default 60 (or $FUZZ_SECONDS); or "runs": each target executes
#           its number of inputs from the table below, however long that takes
#   TARGET  default: every fuzz/fuzz_*.cpp
# Environment: FUZZ_BUILD_DIR (default build/fuzz, configured from the "fuzz" preset when it is
# that folder), FUZZ_JOBS (build jobs, default 2).
set -euo pipefail
cd "$(dirname "$0")/.."

limit="${1:-${FUZZ_SECONDS:-60}}"
shift || true

# The inputs each target executes with "runs": about what it executed in 30 seconds on its own on
# the two-core machine the test run is sized for. A count, unlike a time, fuzzes as much however
# busy or slow the machine is.
declare -A target_runs=([fuzz_extraction]=32000 [fuzz_matcher]=57000 [fuzz_rows]=90000)
build_dir="${FUZZ_BUILD_DIR:-build/fuzz}"
jobs="${FUZZ_JOBS:-2}"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

if [ "$build_dir" = "build/fuzz" ]; then
  cmake --preset fuzz >/dev/null
fi
cmake --build "$build_dir" --target "${targets[@]}" -j "$jobs"

findings="$build_dir/fuzz-findings"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$findings"

# One fuzzer per target, all started together; each writes its own log.
pids=()
for target in "${targets[@]}"; do
  corpus="$scratch/$target"
  mkdir -p "$corpus"
  if [ -d "fuzz/corpus/$target" ]; then
    cp -r "fuzz/corpus/$target/." "$corpus/"
  fi
  if [ "$limit" = runs ]; then
    if [ -z "${target_runs[$target]:-}" ]; then
      echo "fuzz-smoke.sh: no number of runs for $target" >&2
      exit 2
    fi
    bound=(-runs="${target_runs[$target]}")
    wall=1800
  else
    bound=(-max_total_time="$limit")
    wall=$((limit + 120))
  fi
  # -timeout: one input taking longer counts as a hang; the wall clock bound is a safety net.
  timeout --kill-after=30 "$wall" \
    "$build_dir/fuzz/$target" "${bound[@]}" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" "$corpus" \
    >"$findings/$target.log" 2>&1 &
  pids+=($!)
done

failed=()
printf '%-18s %10s %8s %8s %8s %s\n' target executions seconds cov ft result
for i in "${!targets[@]}"; do
  target="${targets[$i]}"
  log="$findings/$target.log"
  status=0
  wait "${pids[$i]}" || status=$?
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  seconds="$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)"
  coverage="$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
  features="$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
  result=ok
  if [ "$status" -ne 0 ]; then
    result="FAILED (exit $status, log $log)"
    failed+=("$target")
  fi
  printf '%-18s %10s %8s %8s %8s %s\n' "$target" "${executions:-?}" "${seconds:-?}" "${coverage:-?}" \
    "${features:-?}" "$result"
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]}" >&2
  for target in "${failed[@]}"; do
    grep -E 'ERROR|SUMMARY|Test unit written' "$findings/$target.log" >&2 || true
  done
  exit 1
fi
