#!/usr/bin/env bash
# Runs a test program that forks death tests after its GL context exists,
# shuffled, RUNS times, two at once, and counts the runs that passed,
# failed, or hung (stopped after 120 s).
#   bench/death_tests_under_load.sh TEST_PROGRAM STYLE [RUNS [FILTER]]
# STYLE is GoogleTest's death-test style: threadsafe (the suite's own) or
# fast (a fork over the running threads).
set -u
program=$1 style=$2 runs=${3:-200}
filter=${4:-'SceneFileReaderTest.*:SceneReadersAgreeTest.*'}
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
one() {
  local run=$1 status=0
  timeout 120 nice "$program" --gtest_filter="$filter" --gtest_shuffle --gtest_random_seed="$run" \
    --gtest_death_test_style="$style" > "$results/$run.log" 2>&1 || status=$?
  echo "$status" > "$results/$run.status"
}
for run in $(seq 1 2 "$runs"); do
  one "$run" &
  [ "$run" -lt "$runs" ] && one $((run + 1)) &
  wait
done
passed=0 failed=0 hung=0
for file in "$results"/*.status; do
  case $(cat "$file") in
    0) passed=$((passed + 1)) ;;
    124) hung=$((hung + 1)); echo "hung: seed $(basename "$file" .status)" ;;
    *) failed=$((failed + 1)); echo "failed: seed $(basename "$file" .status)" ;;
  esac
done
echo "$style: $runs runs, $passed passed, $failed failed, $hung hung"
