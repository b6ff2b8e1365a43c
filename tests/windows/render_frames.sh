#!/usr/bin/env bash
# swtool.exe render under Wine draws the frames the Linux swtool render
# draws: a few stretches of the show (opening, 2D effects, each 3D scene),
# without multisampling and with it. Both reach the same Mesa rasteriser (Wine
# through its opengl32 and GLX, Linux through EGL), so the frames may differ
# only by what the two C runtimes' maths functions round differently.
#   render_frames.sh LINUX_SWTOOL BUILD_WIN
set -u
swtool=$1
build_win=$2
source "$(dirname "$0")/wine_session.sh"
package=$build_win/stillwater-win64
[ -f "$package/swtool.exe" ] || skip "no Windows package in $package (run tools/build-windows.sh)"
wine_session "$build_win"
wine_display 640x480

# stretch_times START...: five frames, 100 ms apart, from each START.
stretch_times() {
  local times= start step
  for start in "$@"; do
    for step in 0 100 200 300 400; do
      times=$times${times:+,}$((start + step))
    done
  done
  echo "$times"
}
# The show is stepped from its start up to each frame; at 5 steps a second
# the run stays short. Without multisampling: the opening, 2D effects and
# the four 3D scenes; with 4 samples, as player.exe draws: the first two.
times0=$(stretch_times 20000 80000 140000 168000 190000 200000)
times4=$(stretch_times 20000 80000)
show=(--archive "$package/hoard.dpk" --password quill --music "$package/soundtrack.ogg" --fps 5 --quiet)

# compare A B: "<values> <mean difference x 1000> <values off by more than 16>"
# over every colour byte of two pictures.
compare() {
  "$swtool" image "$1" --raw "$work/a.raw" > /dev/null 2>&1 || fail "cannot read $1"
  "$swtool" image "$2" --raw "$work/b.raw" > /dev/null 2>&1 || fail "cannot read $2"
  local size
  size=$(stat -c %s "$work/a.raw")
  [ "$size" -eq "$(stat -c %s "$work/b.raw")" ] || { echo "$size 255000 $size"; return; }
  # cmp -l lists each differing byte with both values in octal.
  cmp -l "$work/a.raw" "$work/b.raw" | awk -v size="$size" '
    function octal(text,   value, i) {
      value = 0
      for (i = 1; i <= length(text); i++) value = value * 8 + substr(text, i, 1)
      return value
    }
    { d = octal($2) - octal($3); if (d < 0) d = -d; sum += d; if (d > 16) far++ }
    END { printf "%d %d %d\n", size, sum * 1000 / size, far }'
}

frames=0
for samples in 0 4; do
  times_name=times$samples
  SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$swtool" render "${show[@]}" --at "${!times_name}" \
    --samples $samples --out "$work/linux$samples" > "$work/linux.log" 2>&1 ||
    { cat "$work/linux.log"; fail "Linux render exited $?"; }
  (cd "$work" && timeout 600 "$WINE" "$package/swtool.exe" render "${show[@]}" --at "${!times_name}" \
    --samples $samples --out "windows$samples" < /dev/null > "$work/windows.log" 2>&1) ||
    { tail -20 "$work/windows.log"; fail "swtool.exe render exited $?"; }
  for frame in "$work/linux$samples"/*.png; do
    name=$(basename "$frame")
    [ -f "$work/windows$samples/$name" ] || fail "swtool.exe wrote no $name"
    read -r values mean far <<< "$(compare "$frame" "$work/windows$samples/$name")"
    # Mean difference under 0.5 levels, and under 0.1 % of the values off
    # by more than 16 levels.
    if [ "$mean" -gt 500 ] || [ $((far * 1000)) -gt "$values" ]; then
      fail "$name with $samples samples: mean difference $mean/1000, $far values off by more than 16"
    fi
    frames=$((frames + 1))
  done
done
[ "$frames" -eq 40 ] || fail "expected 40 frames, compared $frames"
echo "ok: $frames frames the same on Windows and Linux"
