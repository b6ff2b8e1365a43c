#!/usr/bin/env bash
# swtool compare on frames of known pixels: every figure of every line, the
# edge share (with the dilation clipped at the border), B minus A as the
# sign, and status 1 with the frame named when names or sizes differ or a
# frame cannot be read.
set -u
swtool=$1
ppm_to_png=$2
. "$(dirname "$0")/test_lib.sh"

# frame PNG WIDTH HEIGHT "R G B" [X,Y="R G B" ...] [rgba]: a picture of one
# colour with the listed pixels changed.
frame() {
  local out=$1 width=$2 height=$3 fill=$4 rgba=""
  shift 4
  declare -A set=()
  for change in "$@"; do
    if [ "$change" = rgba ]; then rgba=rgba; else set[${change%%=*}]=${change#*=}; fi
  done
  { echo "P3 $width $height 255"
    for ((y = 0; y < height; ++y)); do
      for ((x = 0; x < width; ++x)); do echo "${set[$x,$y]:-$fill}"; done
    done
  } > "$work/frame.ppm"
  mkdir -p "$(dirname "$out")"
  "$ppm_to_png" "$work/frame.ppm" "$out" $rgba || fail "cannot make $out"
}

# expect NAME STATUS EXPECTED_OUTPUT ARGS...: runs swtool compare ARGS and
# checks its status and its whole standard output.
expect() {
  local name=$1 status=$2 expected=$3 got
  shift 3
  "$swtool" compare "$@" > "$work/out.txt" 2> "$work/err.txt"
  got=$?
  [ "$got" -eq "$status" ] || fail "$name: status $got, expected $status: $(cat "$work/err.txt")"
  [ "$(cat "$work/out.txt")" = "$expected" ] ||
    fail "$name: printed
$(cat "$work/out.txt")
expected
$expected"
}

# Three 4 x 3 frames. f1: three pixels off, by +3 red, -5 green, +2 blue;
# f2: identical; f3: every channel one level up.
base="10 20 30"
frame "$work/a/f1.png" 4 3 "$base"
frame "$work/b/f1.png" 4 3 "$base" 0,0="13 20 30" 3,2="10 15 30" 2,1="10 20 32"
frame "$work/a/f2.png" 4 3 "$base"
frame "$work/b/f2.png" 4 3 "$base"
frame "$work/a/f3.png" 4 3 "$base"
frame "$work/b/f3.png" 4 3 "11 21 31"
# Edge references: f1's renders differ at (1,0), so the edges are x 0..2,
# y 0..1: (0,0) and, diagonally, (2,1) are edge pixels, (3,2) is not. f2's
# are equal. f3's differ at the corner (3,2): 4 edge pixels of its 12.
frame "$work/e4/f1.png" 4 3 "0 0 0" 1,0="200 0 0"
frame "$work/e0/f1.png" 4 3 "0 0 0"
frame "$work/e4/f2.png" 4 3 "0 0 0"
frame "$work/e0/f2.png" 4 3 "0 0 0"
frame "$work/e4/f3.png" 4 3 "5 5 5"
frame "$work/e0/f3.png" 4 3 "5 5 5" 3,2="5 5 6"
# Files that are not .png frames are not compared.
echo notes > "$work/a/notes.txt"

# Sums: f1 |d| 3 + 5 + 2 = 10 over 36 channel values, signed 0; f3 |d| 36,
# signed 36; all: 46 / 108 and 36 / 108.
t=$'\t'
expect "no edges" 0 "f1.png${t}3${t}12${t}5${t}0.277778${t}0.000000${t}-${t}-
f2.png${t}0${t}12${t}0${t}0.000000${t}0.000000${t}-${t}-
f3.png${t}12${t}12${t}1${t}1.000000${t}1.000000${t}-${t}-
total${t}15${t}36${t}5${t}0.425926${t}0.333333${t}-${t}-" "$work/a" "$work/b"
expect "edges" 0 "f1.png${t}3${t}12${t}5${t}0.277778${t}0.000000${t}2${t}0.666667
f2.png${t}0${t}12${t}0${t}0.000000${t}0.000000${t}0${t}1.000000
f3.png${t}12${t}12${t}1${t}1.000000${t}1.000000${t}4${t}0.333333
total${t}15${t}36${t}5${t}0.425926${t}0.333333${t}6${t}0.400000" \
  "$work/a" "$work/b" --edges "$work/e4" "$work/e0"
# The signed difference is B minus A.
expect "swapped" 0 "f1.png${t}3${t}12${t}5${t}0.277778${t}0.000000${t}-${t}-
f2.png${t}0${t}12${t}0${t}0.000000${t}0.000000${t}-${t}-
f3.png${t}12${t}12${t}1${t}1.000000${t}-1.000000${t}-${t}-
total${t}15${t}36${t}5${t}0.425926${t}-0.333333${t}-${t}-" "$work/b" "$work/a"

# The extremes, and an alpha channel that is not compared: black against
# white with alpha 128 on one pixel of 2 x 1.
frame "$work/x/g.png" 2 1 "0 0 0"
frame "$work/y/g.png" 2 1 "0 0 0" 1,0="255 255 255" rgba
expect "extremes" 0 "g.png${t}1${t}2${t}255${t}127.500000${t}127.500000${t}-${t}-
total${t}1${t}2${t}255${t}127.500000${t}127.500000${t}-${t}-" "$work/x" "$work/y"

# expect_failure NAME MESSAGE ARGS...: status 1, nothing after the failing
# frame, and MESSAGE (a fixed string) on standard error.
expect_failure() {
  local name=$1 message=$2
  shift 2
  "$swtool" compare "$@" > "$work/out.txt" 2> "$work/err.txt" && fail "$name: status 0"
  [ $? -eq 1 ] || fail "$name: status other than 1"
  grep -qF -- "$message" "$work/err.txt" || fail "$name: no \"$message\" on stderr: $(cat "$work/err.txt")"
  grep -q '^total' "$work/out.txt" && fail "$name: a total was printed"
  return 0
}

# A frame missing on either side, or in an edge folder: each one named.
cp -r "$work/b" "$work/b_missing"
rm "$work/b_missing/f2.png"
expect_failure "missing in B" "f2.png is in $work/a but not in $work/b_missing" "$work/a" "$work/b_missing"
expect_failure "missing in A" "f2.png is in $work/a but not in $work/b_missing" "$work/b_missing" "$work/a"
cp -r "$work/b" "$work/b_extra"
frame "$work/b_extra/f4.png" 4 3 "$base"
expect_failure "extra in B" "f4.png is in $work/b_extra but not in $work/a" "$work/a" "$work/b_extra"
expect_failure "missing edge frame" "f2.png is in $work/a but not in $work/b_missing" \
  "$work/a" "$work/b" --edges "$work/e4" "$work/b_missing"
# Sizes that differ, between the two sides and against an edge reference.
cp -r "$work/b" "$work/b_size"
frame "$work/b_size/f3.png" 3 4 "$base"
expect_failure "sizes" "$work/a/f3.png is 4 x 3 but $work/b_size/f3.png is 3 x 4" "$work/a" "$work/b_size"
grep -q '^f1.png' "$work/out.txt" || fail "sizes: the frames before f3.png were not printed"
expect_failure "edge sizes" "$work/b_size/f3.png is 3 x 4" "$work/a" "$work/b" --edges "$work/e4" "$work/b_size"
# A frame that is not a PNG, and a folder that does not exist.
cp -r "$work/b" "$work/b_bad"
echo "not a picture" > "$work/b_bad/f2.png"
expect_failure "unreadable" "cannot read $work/b_bad/f2.png" "$work/a" "$work/b_bad"
expect_failure "no folder" "cannot read the folder $work/none" "$work/a" "$work/none"
mkdir "$work/empty"
expect_failure "no frames" "no .png frames in $work/empty" "$work/empty" "$work/empty"

# Usage errors: the usage on stderr, status 1.
for args in "" "$work/a" "$work/a $work/b $work/b" "$work/a $work/b --edges $work/e4" "$work/a $work/b --fast"; do
  # shellcheck disable=SC2086 # the words are the arguments
  expect_failure "usage: $args" "usage: swtool compare DIR_A DIR_B [--edges DIR_4 DIR_0]" $args
done
exit 0
