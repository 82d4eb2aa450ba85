#!/usr/bin/env bash
# FUZZ_SEED, when set, makes the runs repeatable (CI sets it).
# Runs every fuzz target of a sanitizer build for a bounded time from its seed corpus, then the
# player's SWF reader fuzz, and prints runs and findings per target.
#   scripts/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]
# New inputs go to BUILD_DIR/fuzz-work (the repository keeps only the seeds); inputs that break a
# target land in BUILD_DIR/fuzz-artifacts. Copy such an input into tests/fuzz/corpus/<target>/
# once it is fixed, so the tests replay it from then on.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:?build folder}
seconds=${2:-60}
corpus=tests/fuzz/corpus
work=$build/fuzz-work
artifacts=$build/fuzz-artifacts
mkdir -p "$work" "$artifacts"
. scripts/sanitizer-env.sh

summary=()
failed=0
for target in "$build"/tests/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue  # the build's own folders share the prefix
  name=$(basename "$target"); name=${name#fuzz_}
  mkdir -p "$work/$name" "$artifacts/$name"
  log=$work/$name.log
  "$target" -max_total_time="$seconds" ${FUZZ_SEED:+-seed=$FUZZ_SEED} -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$name/" "$work/$name" "$corpus/$name" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  found=$(find "$artifacts/$name" -type f | wc -l)
  summary+=("$(printf '%-20s %10s runs %7s/s  %s findings' "$name" "${runs:-?}" "${speed:-?}" "$found")")
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    echo "fuzz: $name failed (exit $status); log $log:"
    grep -E 'ERROR|SUMMARY|invariant|#0 |#1 |#2 |#3 ' "$log" | head -20
  fi
done

node tests/fuzz/swfImage.fuzz.mjs --seconds "$seconds" ${FUZZ_SEED:+--seed "$FUZZ_SEED"} --artifacts "$artifacts/swf_image" >"$work/swf_image.log" 2>&1 || failed=1
summary+=("$(cat "$work/swf_image.log")")

echo "fuzz: $seconds s per target"
printf '  %s\n' "${summary[@]}"
exit $failed
