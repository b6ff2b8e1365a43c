# Sourced by the test scripts: a work folder of the script's own, removed at
# exit, which also takes the temporary files of the programs it runs (the
# archive reader's log); and fail, which ends the test with its message.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"
fail() { echo "FAIL: $*"; exit 1; }

# The buffer swaps the preloaded frame counter has counted so far; the
# program runs with SW_FRAME_COUNT_FILE="$work/frames".
frames() { local n; n=$(tr -d ' \n' < "$work/frames" 2>/dev/null); echo "${n:-0}"; }

# await_frames PID WANTED ERRORS: waits up to 60 s (a busy machine) until
# program PID has shown WANTED frames. Fails, showing the file ERRORS, when
# it ends before that (with its status) or is too slow (then it is killed).
await_frames() {
  local pid=$1 wanted=$2 errors=$3 status
  for _ in $(seq 600); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      cat "$errors"
      fail "the program ended with status $status after $(frames) buffer swaps"
    fi
    [ "$(frames)" -ge "$wanted" ] && return 0
    sleep 0.1
  done
  kill -KILL "$pid"
  cat "$errors"
  fail "only $(frames) buffer swaps in 60 s, expected $wanted"
}

# await_log PID LOG AWK_CONDITION ERRORS: waits up to 60 s (a busy machine)
# until the frame log LOG of program PID satisfies the awk program
# AWK_CONDITION (which exits 0 once it holds). Fails, showing the file ERRORS,
# when the program ends before that or it never holds (then it is killed).
await_log() {
  local pid=$1 log=$2 condition=$3 errors=$4 status
  for _ in $(seq 600); do
    [ -s "$log" ] && awk "$condition" "$log" && return 0
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      cat "$errors"
      fail "the program ended with status $status before its frame log showed: $condition"
    fi
    sleep 0.1
  done
  kill -KILL "$pid"
  cat "$errors"
  fail "in 60 s the frame log never showed: $condition"
}

# copy_show SHOW_DIR: a show of our own to change files in: a copy of the
# data tree in $work/stage/data, and $work/show, where the player runs, with
# the soundtrack linked. pack_show then packs the tree into the show.
copy_show() {
  mkdir -p "$work/stage" "$work/show"
  cp -r "$1/data" "$work/stage/data" || fail "cannot copy the show's data from $1"
  ln -s "$1/soundtrack.ogg" "$work/show/soundtrack.ogg"
}

# pack_show SWTOOL [PASSWORD]: packs $work/stage into $work/show/hoard.dpk as
# the build does (members data\..., password "quill" unless given).
pack_show() {
  rm -f "$work/show/hoard.dpk"
  "$1" pack "$work/stage" "$work/show/hoard.dpk" --password "${2:-quill}" >/dev/null || fail "swtool pack failed"
}
