# Sourced after test_lib.sh by the tests of an installed Stillwater.

# require_tools TOOL...: fails naming the tools that are missing; the build's
# package list installs them all.
require_tools() {
  local tool missing=()
  for tool in "$@"; do command -v "$tool" >/dev/null || missing+=("$tool"); done
  [ ${#missing[@]} -eq 0 ] || fail "missing tools: ${missing[*]} (tools/install-deps.sh installs them)"
}

# play_installed PLAYER TREE: plays 20 to 21 s of the show headless with the
# installed PLAYER, started from an empty folder of its own, with the user's
# state folder in $work/state. Fails unless it ends by itself with status 0
# after drawing frames in that span (read from the frame log), leaves the
# folder it ran in empty and TREE (the install tree) untouched, and writes
# the archive reader's log into the state folder.
play_installed() {
  local player=$1 tree=$2 status
  local elsewhere=$work/elsewhere frames=$work/frames.txt
  rm -rf "$elsewhere" "$work/state" "$frames"
  mkdir -p "$elsewhere"
  touch "$work/before-play"
  sleep 1  # a file the player writes is then newer than the stamp on any file system
  (cd "$elsewhere" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy XDG_STATE_HOME="$work/state" \
    STILLWATER_FRAME_LOG="$frames" timeout 180 "$player" --window --start 20000 --end 21000 \
    >"$work/play-out.txt" 2>"$work/play-err.txt")
  status=$?
  [ "$status" -eq 0 ] || fail "$player: status $status: $(tail -5 "$work/play-err.txt")"
  [ -s "$frames" ] || fail "$player drew no frames"
  awk '$1 < 20000 || $1 > 22000 { print "frame at " $1 " outside 20000..21000"; bad = 1 } END { exit bad }' \
    "$frames" || fail "$player drew frames outside the span"
  awk 'END { exit !($1 >= 21000) }' "$frames" || fail "$player ended before --end"
  [ -z "$(ls -A "$elsewhere")" ] || fail "$player left files where it ran: $(ls -A "$elsewhere")"
  [ -z "$(find "$tree" -newer "$work/before-play" -print -quit)" ] ||
    fail "$player wrote into the install tree: $(find "$tree" -newer "$work/before-play")"
  grep -q 'Extracting >data' "$work/state/stillwater/debug_unrar.txt" 2>/dev/null ||
    fail "no archive log in the state folder $work/state/stillwater"
}
