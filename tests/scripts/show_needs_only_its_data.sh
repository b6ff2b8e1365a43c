#!/usr/bin/env bash
# show_needs_only_its_data.sh PLAYER SWTOOL SHOW_DIR: a show folder holding
# only what its script uses (the cranium scene with its pictures, the clouds'
# picture) plays in the player and renders, each effect left without its
# data named once; taking away pictures the script uses ends the player and
# swtool render alike, with one message listing every missing file.
set -u
player=$1
swtool=$2
show_dir=$3
. "$(dirname "$0")/test_lib.sh"

show="$work/show"
mkdir -p "$show/data/textures"
cp "$show_dir/data/cranium.scn" "$show/data/"
for picture in scn_bone.png scn_bone_normal.png scn_eyeglow.png scn_marble.png scn_slate.png clouds.png; do
  cp "$show_dir/data/textures/$picture" "$show/data/textures/"
done
cat >"$show/data/script.scr" <<'SCRIPT'
// the cranium scene under a layer of clouds
DEFINE CRANIUM 25
DEFINE CLOUDS 6
SETUP
TIMELINE
100 START CRANIUM
100 START CLOUDS
1900 END CLOUDS
LINETIME
SCRIPT

play() {
  SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 120 "$player" --window --data "$show" \
    --music "$show_dir/soundtrack.ogg" --end 1000 >"$work/player.out" 2>"$work/player.err"
}
render() {
  timeout 120 "$swtool" render --data "$show" --at 500,1000 --out "$work/frames" --quiet \
    >"$work/render.out" 2>"$work/render.err"
}

play
status=$?
[ "$status" -eq 0 ] || { cat "$work/player.err"; fail "the player on the small show: status $status"; }
render
status=$?
[ "$status" -eq 0 ] || { cat "$work/render.err"; fail "swtool render on the small show: status $status"; }
[ -s "$work/frames/0001000.png" ] || fail "swtool render wrote no frame at 1000"

# One warning per effect left empty, the same from both programs; never one
# for the effects the script uses.
for who in player render; do
  grep '^effects: effect [0-9]* ([a-z0-9]*) is left empty: ' "$work/$who.err" | sort >"$work/$who.empty"
  [ -s "$work/$who.empty" ] || { cat "$work/$who.err"; fail "$who: no effect was left empty"; }
  [ -z "$(cut -d' ' -f3 "$work/$who.empty" | uniq -d)" ] || fail "$who: an effect was named twice"
  ! grep -E '^effects: effect (25|6) ' "$work/$who.empty" || fail "$who: an effect the script uses was left empty"
done
cmp -s "$work/player.empty" "$work/render.empty" || { diff "$work/player.empty" "$work/render.empty"; fail "the two programs left different effects empty"; }
grep -qx 'effects: effect 21 (gang) is left empty: data/gang.scn is missing' "$work/player.empty" ||
  fail "the missing corridor scene is not named"
grep -qx 'effects: effect 7 (trails) is left empty: data/textures/dot3.png is missing' "$work/player.empty" ||
  fail "the trails' missing picture is not named"

# Pictures the script uses taken away or damaged: both programs stop with
# one message that lists all of them, a scene's picture that does not decode
# among them (not only the scene reader's own message about it).
rm "$show/data/textures/clouds.png"
printf 'not a picture' >"$show/data/textures/scn_marble.png"
play
status=$?
[ "$status" -eq 1 ] || { cat "$work/player.err"; fail "the player without pictures it uses: status $status"; }
rm -rf "$work/frames"
render
status=$?
[ "$status" -eq 1 ] || { cat "$work/render.err"; fail "swtool render without pictures it uses: status $status"; }
for who in player render; do
  grep -o 'Fatal error: .*' "$work/$who.err" >"$work/$who.fatal"
done
printf '%s\n' 'Fatal error: picture data/textures/clouds.png is missing' \
  'Fatal error: picture data/textures/scn_marble.png cannot be decoded' | sort >"$work/wanted.fatal"
sort "$work/player.fatal" | cmp -s - "$work/wanted.fatal" || { cat "$work/player.err"; fail "the player's message differs"; }
sort "$work/render.fatal" | cmp -s - "$work/wanted.fatal" || { cat "$work/render.err"; fail "swtool render's message differs"; }
! grep -q '^effects: effect 25 ' "$work/player.err" "$work/render.err" || fail "the scene the script uses was called empty"

echo ok
