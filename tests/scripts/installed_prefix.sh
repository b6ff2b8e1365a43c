#!/usr/bin/env bash
# `cmake --install` into a prefix of our own, used as a user would: the
# installed player plays the installed show from an unrelated folder, also
# after the whole tree is moved elsewhere; a show in the current folder
# still comes first; --help names the installed folder.
set -u
build_dir=$1
. "$(dirname "$0")/test_lib.sh"
. "$(dirname "$0")/installed_lib.sh"

cmake --install "$build_dir" --prefix "$work/prefix" >"$work/install.txt" 2>&1 ||
  fail "cmake --install failed: $(tail -5 "$work/install.txt")"
for file in bin/stillwater bin/stillwater-nomsaa bin/swtool share/stillwater/hoard.dpk \
            share/stillwater/soundtrack.ogg; do
  [ -f "$work/prefix/$file" ] || fail "no $file under the prefix"
done
play_installed "$work/prefix/bin/stillwater" "$work/prefix"

# A moved install finds its show relative to the program.
mv "$work/prefix" "$work/moved"
play_installed "$work/moved/bin/stillwater-nomsaa" "$work/moved"
SDL_VIDEODRIVER=no_such_driver "$work/moved/bin/stillwater" --help >"$work/help.txt" 2>&1 ||
  fail "--help: status $?"
grep -qF "$work/moved/share/stillwater" "$work/help.txt" || fail "--help names no installed folder: $(cat "$work/help.txt")"

# An archive in the current folder is the one read, even a broken one.
mkdir -p "$work/own"
echo "not an archive" > "$work/own/hoard.dpk"
(cd "$work/own" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy XDG_STATE_HOME="$work/state" \
  timeout 120 "$work/moved/bin/stillwater" --window --end 1000 >/dev/null 2>"$work/own-err.txt")
status=$?
[ "$status" -eq 1 ] || fail "a broken hoard.dpk in the current folder: expected status 1, got $status"
grep -q "Fatal error: data archive hoard.dpk" "$work/own-err.txt" ||
  fail "the current folder's hoard.dpk was not the one read: $(tail -3 "$work/own-err.txt")"
echo "installed into a prefix: plays from any folder, moved or not"
