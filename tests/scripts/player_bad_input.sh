#!/usr/bin/env bash
# player_bad_input.sh PLAYER SWTOOL SHOW_DIR CASE: the player started, as a
# user would, on a show with one thing wrong (CASE) ends with status 1 and
# the message that names the file and the fault, never a crash, a hang or
# a show played without its data.
set -u
player=$1
swtool=$2
show_dir=$3
case_name=$4
. "$(dirname "$0")/test_lib.sh"
copy_show "$show_dir"
archive_says="error: Fatal error: data archive hoard.dpk:"

# Each case changes the show and names the lines expected on standard
# error, in order (a line may be a grep -E pattern when it starts with ~).
expected=()
case "$case_name" in
  archive_missing)
    expected=("$archive_says the file cannot be opened") ;;
  archive_truncated)
    pack_show "$swtool"
    head -c $(($(stat -c %s "$work/show/hoard.dpk") / 2)) "$work/show/hoard.dpk" >"$work/half.dpk"
    mv "$work/half.dpk" "$work/show/hoard.dpk"
    expected=("~^$archive_says it is cut short or damaged: the data of data\\\\[a-z0-9_.\\\\]+ run past the end of the file\$") ;;
  wrong_password)
    pack_show "$swtool" not-the-password
    expected=("$archive_says data/script.scr does not extract to its checksum: a wrong password, or damaged data") ;;
  script_missing)
    rm "$work/stage/data/script.scr"
    pack_show "$swtool"
    expected=("$archive_says it holds no data/script.scr") ;;
  script_fatal)
    printf 'DEMOSTART 0\nSETUP\n0 SOUND 1 2 3\nTIMELINE\n1000 START 0\n' >"$work/stage/data/script.scr"
    pack_show "$swtool"
    expected=("script: error in data/script.scr" "error: script: event not recognized in setup line # 1") ;;
  scene_damaged)
    head -c 5000 "$show_dir/data/gang.scn" >"$work/stage/data/gang.scn"
    pack_show "$swtool"
    expected=("~^error: Error in parsing data/gang.scn: not a grafter file: [a-z ]+ chunk at offset [0-9]+: .+$") ;;
  scene_texture_missing)
    rm "$work/stage/data/textures/scn_bark.png"
    pack_show "$swtool"
    # Looked for before the scene is read, and listed with any other file missing.
    expected=("error: Fatal error: picture data/textures/scn_bark.png is missing") ;;
  picture_missing)
    rm "$work/stage/data/textures/dot.png"
    pack_show "$swtool"
    expected=("error: Fatal error: picture data/textures/dot.png is missing") ;;
  picture_damaged)
    head -c 200 "$show_dir/data/textures/clouds.png" >"$work/stage/data/textures/clouds.png"
    pack_show "$swtool"
    expected=("error: Fatal error: picture data/textures/clouds.png cannot be decoded") ;;
  music_not_ogg)
    pack_show "$swtool"
    rm "$work/show/soundtrack.ogg"
    echo "not a song" >"$work/show/soundtrack.ogg"
    expected=("music: soundtrack.ogg is not an Ogg Vorbis file" "error: Fatal error: could not load music") ;;
  *) fail "unknown case $case_name" ;;
esac

cd "$work/show" || exit 1
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 120 "$player" --window >"$work/out.txt" 2>"$work/err.txt"
status=$?
[ "$status" -eq 124 ] && fail "$case_name: the player hung (stopped after 120 s)"
[ "$status" -eq 1 ] || { cat "$work/err.txt"; fail "$case_name: expected status 1, got $status"; }
grep -qx 'error!' "$work/out.txt" || fail "$case_name: no 'error!' line on standard output"
# The expected lines, in order, among the lines on standard error.
from=1
for line in "${expected[@]}"; do
  if [ "${line:0:1}" = "~" ]; then
    found=$(tail -n +"$from" "$work/err.txt" | grep -n -E -m1 -- "${line:1}" | cut -d: -f1)
  else
    found=$(tail -n +"$from" "$work/err.txt" | grep -n -x -F -m1 -- "$line" | cut -d: -f1)
  fi
  [ -n "$found" ] || { cat "$work/err.txt"; fail "$case_name: no line '$line' on standard error"; }
  from=$((from + found))
done
echo "ok: $case_name"
