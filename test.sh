#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless. With no
# arguments every GoogleTest binary also runs once in a random order first;
# arguments go to ctest and skip that pass. CTEST_PARALLEL_LEVEL sets how
# many tests run at once (default: one per core).
#
#   ./test.sh --sanitize [CTEST_ARGS...]
# builds a second tree, build-sanitize/, with AddressSanitizer and UBSan
# (tools/sanitize/ holds the runtime options and leak suppressions) and runs
# every CTest test there but the Windows package's (they test the Windows
# build under Wine, not this one). The shuffled pass is skipped in that mode:
# under the sanitizers it would double a run that already takes several times
# as long.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" = "--sanitize" ]; then
  shift
  . "$top/tools/sanitize/options.sh"
  use_sanitizer_keep_modules "$top/build-sanitize"
  "$top/tools/build.sh" "$top/build-sanitize" -DSTILLWATER_SANITIZE=ON
  export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
  cd "$top/build-sanitize"
  # A failing test runs once more: LeakSanitizer's scan at exit can itself
  # fail while the process's threads wind down, after the test has passed.
  # A fault the sanitizers find in our code fails both runs.
  exec ctest --output-on-failure -LE windows --repeat until-pass:2 \
    -j "${CTEST_PARALLEL_LEVEL:-$(nproc 2>/dev/null || echo 2)}" "$@"
fi
"$top/tools/build.sh"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

# A test that only passes after what another test left behind fails here.
# A failure names the seed, so that the order can be repeated.
shuffled_status=0
if [ $# -eq 0 ]; then
  for binary in "$top"/build/tests/test_*; do
    [ -f "$binary" ] && [ -x "$binary" ] || continue
    log=$(mktemp)
    seed=$((RANDOM % 99999 + 1))
    status=0
    timeout 900 "$binary" --gtest_shuffle --gtest_random_seed="$seed" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
      if [ "$status" -eq 124 ]; then
        echo "shuffled run of $(basename "$binary") did not end within 900 s and was stopped; the last test it began:"
        grep -E '^\[ RUN +\]' "$log" | tail -1 || true
      else
        echo "shuffled run of $(basename "$binary") failed; repeat it with:"
      fi
      echo "  $binary --gtest_shuffle --gtest_random_seed=$seed"
      grep -E -A4 "Failure$|FAILED" "$log" | head -60 || true
      shuffled_status=1
    fi
    rm -f "$log"
  done
  [ "$shuffled_status" -eq 0 ] && echo "every test binary passed in a shuffled order"
fi

cd "$top/build"
ctest_status=0
ctest --output-on-failure -j "${CTEST_PARALLEL_LEVEL:-$(nproc 2>/dev/null || echo 2)}" "$@" || ctest_status=$?
[ "$ctest_status" -eq 0 ] && [ "$shuffled_status" -eq 0 ]
