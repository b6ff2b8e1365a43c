#!/usr/bin/env bash
# swtool pack writes what unar reads back identically, and what swtool
# extract reads by the player's member names; a wrong password fails.
set -u
swtool=$1
. "$(dirname "$0")/test_lib.sh"

mkdir -p "$work/tree/data/textures" "$work/tree/data/images"
printf 'DEMOSTART 0\nSETUP\nTIMELINE\n' > "$work/tree/data/script.scr"
head -c 70000 /dev/urandom > "$work/tree/data/textures/noise.bin"
: > "$work/tree/data/images/empty.tga"

"$swtool" pack "$work/tree" "$work/a.dpk" --password quill || fail "pack exited $?"
"$swtool" list "$work/a.dpk" > "$work/list.txt" || fail "list exited $?"
grep -qP '^data\\script\.scr\t27\t32\t48\t20\t0x8004$' "$work/list.txt" || { cat "$work/list.txt"; fail "list lacks data\\script.scr"; }
[ "$(wc -l < "$work/list.txt")" -eq 3 ] || fail "list should have 3 members"

"$swtool" extract "$work/a.dpk" data/script.scr --password quill -o "$work/script.out" || fail "extract exited $?"
cmp -s "$work/script.out" "$work/tree/data/script.scr" || fail "extracted script differs"
"$swtool" extract "$work/a.dpk" DATA/TEXTURES/NOISE.BIN --password quill > "$work/noise.out" || fail "extract by other case"
cmp -s "$work/noise.out" "$work/tree/data/textures/noise.bin" || fail "extracted noise differs"
if "$swtool" extract "$work/a.dpk" data/script.scr --password quilt -o "$work/wrong.out" 2>/dev/null; then
  fail "a wrong password must fail"
fi

if command -v unar >/dev/null; then
  mkdir "$work/unar"
  unar -q -p quill -o "$work/unar" "$work/a.dpk" >/dev/null || fail "unar could not extract"
  diff -r "$work/tree" "$work/unar" || fail "unar's files differ from the tree"
fi
echo ok
