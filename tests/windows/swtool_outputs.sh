#!/usr/bin/env bash
# swtool.exe under Wine says what the Linux swtool says: list, extract,
# image, pack and script give the same output and the same exit status. Text
# lines end in "\r\n" on Windows and are compared without the "\r"; bytes
# (extracted members, raw pixels) are compared as they are.
#   swtool_outputs.sh LINUX_SWTOOL BUILD_WIN SHOW_DIR
set -u
swtool=$1
build_win=$2
show_dir=$3
source "$(dirname "$0")/wine_session.sh"
package=$build_win/stillwater-win64
[ -f "$package/swtool.exe" ] || skip "no Windows package in $package (run tools/build-windows.sh)"
[ -f "$show_dir/hoard.dpk" ] || fail "no show archive at $show_dir/hoard.dpk"
wine_session "$build_win"
fixtures=$(cd "$(dirname "$0")/../images/fixtures" && pwd)
archive=$show_dir/hoard.dpk
mismatches=0

# same NAME ARGS...: runs both tools with ARGS in the current directory and
# compares standard output, exit status and, where an argument is @OUT@,
# the file each tool wrote there. With bytes=1 standard output is binary
# and compared as it is.
same() {
  local name=$1
  shift
  checks=$((checks + 1))
  local out=$work/out$checks
  "$swtool" "${@//@OUT@/$out.linux.file}" < /dev/null > "$out.linux" 2> /dev/null
  local linux_status=$?
  timeout 300 "$WINE" "$package/swtool.exe" "${@//@OUT@/$out.windows.file}" < /dev/null 2> /dev/null |
    if [ "${bytes:-}" = 1 ]; then cat; else tr -d '\r'; fi > "$out.windows"
  local windows_status=${PIPESTATUS[0]}
  local problem=
  if [ "$linux_status" -ne "$windows_status" ]; then
    problem="status $linux_status on Linux, $windows_status on Windows"
  elif ! cmp -s "$out.linux" "$out.windows"; then
    problem="standard output differs: $(diff "$out.linux" "$out.windows" | head -3 | tr '\n' ' ')"
  elif [ -e "$out.linux.file" ] || [ -e "$out.windows.file" ]; then
    cmp -s "$out.linux.file" "$out.windows.file" || problem="the files written differ"
  fi
  if [ -n "$problem" ]; then
    echo "MISMATCH $name: $problem"
    mismatches=$((mismatches + 1))
  fi
  rm -f "$out".*.file
}

checks=0
cd "$work"
same list list "$archive"
same "list of no archive" list "no such archive.rar"

# Every member, to a file and through standard output (binary there too).
"$swtool" list "$archive" > members.txt
members=0
while IFS=$'\t' read -r member _; do
  members=$((members + 1))
  same "extract $member" extract "$archive" "$member" --password quill -o @OUT@
done < members.txt
bytes=1 same "extract to standard output" extract "$archive" 'data\images\dusk.png' --password quill
same "extract with a wrong password" extract "$archive" 'data\script.scr' --password wrong
same "extract a missing member" extract "$archive" 'data\nothing.png' --password quill

# Pictures of every kind the image library reads, as stored, converted to
# 32 bits and rescaled.
"$swtool" extract "$archive" 'data\images\dusk.png' --password quill -o dusk.png
"$swtool" extract "$archive" 'data\images\interf3.jpg' --password quill -o interf3.jpg
for picture in "$fixtures"/*.tga "$fixtures"/*.gif dusk.png interf3.jpg; do
  same "image $picture" image "$picture" --raw @OUT@
  same "image $picture --to32" image "$picture" --to32 --raw @OUT@
done
same "image --scale png" image dusk.png --to32 --scale 100x60 --raw @OUT@
same "image --scale jpg" image interf3.jpg --scale 33x200 --raw @OUT@
same "image of no picture" image members.txt --raw @OUT@

# The show's data tree packed again: the same archive, byte for byte.
same pack pack "$show_dir/data" @OUT@ --password quill
same "pack of no folder" pack "no such folder" @OUT@

# The show's script, INCLUDEs read from the show folder; and a broken one.
cd "$show_dir"
same script script data/script.scr
cd "$work"
printf 'DEMOSTART 0\nTIMELINE\n100 START\n' > broken.scr
same "broken script" script broken.scr

[ "$mismatches" -eq 0 ] || fail "$mismatches outputs differ"
[ "$members" -gt 0 ] || fail "the Linux swtool listed no members"
echo "ok: $checks outputs the same ($members members extracted)"
