#!/usr/bin/env bash
# Builds the libFuzzer targets (the "fuzz" preset, clang with ASan and UBSan) and runs them all at
# once, each for a bounded time on a scratch copy of its seed corpus: on a machine with fewer cores
# than targets they share the cores, so the whole run takes SECONDS_PER_TARGET. Exits non-zero when
# a target crashes, leaks, runs out of memory or hangs on an input; the input is kept in the
# findings folder.
#
# Usage: scripts/fuzz-smoke.sh [SECONDS_PER_TARGET] [TARGET...]
#   SECONDS_PER_TARGET  default 60 (or $FUZZ_SECONDS)
#   TARGET              default: every fuzz/fuzz_*.cpp
# Environment: FUZZ_BUILD_DIR (default build/fuzz, configured from the "fuzz" preset when it is
# that folder), FUZZ_JOBS (build jobs, default 2).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-${FUZZ_SECONDS:-60}}"
shift || true
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
  # -timeout: one input taking longer counts as a hang; the wall clock bound is a safety net.
  timeout --kill-after=30 "$((seconds + 120))" \
    "$build_dir/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" "$corpus" \
    >"$findings/$target.log" 2>&1 &
  pids+=($!)
done

failed=()
printf '%-18s %10s %8s %8s %s\n' target executions cov ft result
for i in "${!targets[@]}"; do
  target="${targets[$i]}"
  log="$findings/$target.log"
  status=0
  wait "${pids[$i]}" || status=$?
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  coverage="$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
  features="$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)"
  result=ok
  if [ "$status" -ne 0 ]; then
    result="FAILED (exit $status, log $log)"
    failed+=("$target")
  fi
  printf '%-18s %10s %8s %8s %s\n' "$target" "${executions:-?}" "${coverage:-?}" \
    "${features:-?}" "$result"
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]}" >&2
  for target in "${failed[@]}"; do
    grep -E 'ERROR|SUMMARY|Test unit written' "$findings/$target.log" >&2 || true
  done
  exit 1
fi
