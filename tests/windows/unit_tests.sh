#!/usr/bin/env bash
# The unit tests that need no GL, built for Windows, pass under Wine.
#   unit_tests.sh BUILD_WIN
set -u
build_win=$1
source "$(dirname "$0")/wine_session.sh"
tests_dir=$build_win/programs/tests
ls "$tests_dir"/test_*.exe > /dev/null 2>&1 || skip "no Windows unit tests in $tests_dir (run tools/build-windows.sh)"
wine_session "$build_win"

# As on Linux, the tests run without a display or a sound device.
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# unar, the independent RAR extractor, is a Linux program: Windows cannot
# start it (under Wine the test would find /usr/bin/unar all the same).
filter='-PackRoundTrip.Unar*'

failed=()
count=0
cd "$tests_dir"
for test in test_*.exe; do
  count=$((count + 1))
  if timeout 600 "$WINE" "./$test" --gtest_filter="$filter" --gtest_brief=1 < /dev/null > "$work/$test.log" 2>&1 &&
     grep -q '^\[  PASSED  \]' "$work/$test.log"; then
    echo "$test: $(grep '^\[  PASSED  \]' "$work/$test.log")"
  else
    cat "$work/$test.log"
    failed+=("$test")
  fi
done
[ ${#failed[@]} -eq 0 ] || fail "${failed[*]}"
echo "ok: $count Windows test programs"
