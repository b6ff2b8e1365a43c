# Sourced by the Wine tests: runs the Windows programs of build-win/ under
# Wine, in the prefix build-win/wine, with an Xvfb display of their own when
# they need one. Leaves with status 77 (CTest: skipped) when Wine or the
# Windows build is not there, or fails instead where the package must be
# tested (STILLWATER_REQUIRE_WINDOWS=1, as .ci/run sets it).
#
#   wine_session BUILD_WIN      set up; WINE runs a program
#   wine_display WxH            start Xvfb at that size and point DISPLAY at it
#   windows_temp_folder         the Unix path of the programs' temporary folder
# Everything ends with the shell: wine's processes first, then the display.

skip() {
  [ "${STILLWATER_REQUIRE_WINDOWS:-0}" = 1 ] && fail "$* (the Windows package is required here)"
  echo "SKIP: $*"; exit 77
}
fail() { echo "FAIL: $*"; exit 1; }

wine_session() {
  local build_win=$1
  WINE=$(command -v wine64 || true)
  [ -n "$WINE" ] || [ ! -x /usr/lib/wine/wine64 ] || WINE=/usr/lib/wine/wine64
  [ -n "$WINE" ] || WINE=$(command -v wine || true)
  WINESERVER=$(command -v wineserver || true)
  [ -n "$WINESERVER" ] || [ ! -x /usr/lib/wine/wineserver ] || WINESERVER=/usr/lib/wine/wineserver
  [ -n "$WINE" ] && [ -n "$WINESERVER" ] || skip "Wine is not installed (tools/build-windows.sh installs it)"
  export WINEPREFIX=$build_win/wine WINEDEBUG=-all WINEARCH=win64
  # No installers for .NET or the HTML engine: nothing here needs them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  unset DISPLAY WAYLAND_DISPLAY
  work=$(mktemp -d)
  trap wine_session_end EXIT
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    flock "$build_win/wine.lock" sh -c '[ -f "$WINEPREFIX/system.reg" ] || "$0" wineboot --init' "$WINE" \
      > "$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; fail "cannot make the Wine prefix"; }
    "$WINESERVER" -w
  fi
}

wine_display() {
  command -v Xvfb > /dev/null || skip "Xvfb is not installed"
  # SDL on Windows draws through the desktop, whatever the Linux tests ask.
  unset SDL_VIDEODRIVER
  # Xvfb picks a free display itself and writes its number.
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3> "$work/display" 2> "$work/xvfb.log" &
  xvfb_pid=$!
  local waited
  for waited in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2> /dev/null || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
    sleep 0.1
  done
  [ -s "$work/display" ] || fail "Xvfb gave no display"
  export DISPLAY=":$(head -1 "$work/display")"
}

wine_session_end() {
  local status=$?
  # Wine's own processes end shortly after the last program; a program
  # still running after a failure is stopped with the rest of the prefix.
  timeout 60 "$WINESERVER" -w 2> /dev/null || "$WINESERVER" -k 2> /dev/null
  [ -z "${xvfb_pid:-}" ] || { kill "$xvfb_pid" 2> /dev/null; wait "$xvfb_pid" 2> /dev/null; }
  rm -rf "$work"
  exit "$status"
}

windows_temp_folder() {
  local folder
  folder=$("$WINE" cmd /c echo %TEMP% 2> /dev/null | tr -d '\r')
  winepath_unix "$folder"
}

winepath_unix() { "$WINE" winepath -u "$1" 2> /dev/null | tr -d '\r'; }
