#!/usr/bin/env bash
# The Debian package, used as a user would without installing it on the
# machine: CPack builds it, dpkg-deb unpacks it into a root of its own, and
# from an unrelated folder the packaged player plays the packaged show and
# the packaged swtool lists its archive. The desktop entry, the AppStream
# metadata, the man pages and the icons pass their checkers, and lintian
# reports neither errors nor warnings.
set -u
build_dir=$1
. "$(dirname "$0")/test_lib.sh"
. "$(dirname "$0")/installed_lib.sh"
require_tools cpack dpkg-deb lintian desktop-file-validate appstreamcli man
app_id=io.github.stillwater.stillwater

cpack --config "$build_dir/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.txt" 2>&1 ||
  fail "cpack failed: $(tail -5 "$work/cpack.txt")"
debs=("$work"/deb/stillwater_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one package, found: ${debs[*]}"
deb=${debs[0]}
root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"

# What the package says of itself: dependencies found from the linked
# libraries, and the version its metadata and man pages carry.
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
for library in libsdl2 libvorbisfile libpng16 libjpeg62-turbo libkissfft; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "the metadata's release is not the package's version $version"

play_installed "$root/usr/bin/stillwater" "$root"
"$root/usr/bin/swtool" list "$root/usr/share/stillwater/hoard.dpk" >"$work/list.txt" 2>"$work/err.txt" ||
  fail "swtool list: status $?: $(cat "$work/err.txt")"
grep -q '^data\\script\.scr	' "$work/list.txt" || fail "swtool list shows no data\\script.scr: $(head -3 "$work/list.txt")"

desktop-file-validate "$root/usr/share/applications/$app_id.desktop" >"$work/desktop.txt" 2>&1 &&
  [ ! -s "$work/desktop.txt" ] || fail "desktop entry: $(cat "$work/desktop.txt")"
grep -qx 'Exec=stillwater' "$root/usr/share/applications/$app_id.desktop" ||
  fail "the desktop entry does not start the show fullscreen (plain stillwater)"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$work/appstream.txt" 2>&1 ||
  fail "metadata: $(cat "$work/appstream.txt")"

for page in man6/stillwater.6.gz man6/stillwater-nomsaa.6.gz man1/swtool.1.gz; do
  MANWIDTH=80 man --warnings -l "$root/usr/share/man/$page" >"$work/page.txt" 2>"$work/man.txt" ||
    fail "man $page: status $?"
  [ ! -s "$work/man.txt" ] || fail "man $page: $(cat "$work/man.txt")"
  [ -s "$work/page.txt" ] || fail "man $page: nothing rendered"
done
for section in OPTIONS KEYS FILES ENVIRONMENT "EXIT STATUS"; do
  MANWIDTH=80 man -l "$root/usr/share/man/man6/stillwater.6.gz" 2>/dev/null | grep -qx "$section" ||
    fail "stillwater(6) has no $section section"
done
for command in help script render profile list extract pack image scene; do
  MANWIDTH=80 man -l "$root/usr/share/man/man1/swtool.1.gz" 2>/dev/null | grep -Eq "^       $command( |$)" ||
    fail "swtool(1) does not describe $command"
done

# Each icon is a picture of the size its folder names.
for size in 16 22 24 32 48 64 128 256; do
  icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  shape=$("$root/usr/bin/swtool" image "$icon" 2>/dev/null | tail -1)
  [ "${shape% * *}" = "$size $size" ] || fail "icon ${size}x$size is '$shape'"
done

lintian --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1 ||
  fail "lintian (status $?): $(cat "$work/lintian.txt")"
echo "package $(basename "$deb"): unpacked, played, checked"
