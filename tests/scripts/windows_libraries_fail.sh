#!/usr/bin/env bash
# build-libraries.sh stops at a failed step and stamps nothing: run with
# stand-ins for apt-get, apt-cache, dpkg-source and make first on PATH, so
# that no network or cross compiler is needed, once with an unpacking that
# fails and once with a library build that fails where a later step
# (installing what an older build left) would succeed.
set -u
script=$1
. "$(dirname "$0")/test_lib.sh"
fakes=$work/fakes
mkdir -p "$fakes"
cat > "$fakes/apt-cache" <<'FAKE'
#!/bin/sh
case " $* " in *" showsrc "*) echo "Version: 1.0-1" ;; esac
exit 0
FAKE
cat > "$fakes/apt-get" <<'FAKE'
#!/bin/sh
# The source download (its last argument PACKAGE=VERSION): a .dsc named as
# apt names it, in the current folder. Anything else succeeds.
source=no
for argument in "$@"; do
  [ "$argument" = source ] && source=yes
  last=$argument
done
[ "$source" = yes ] && touch "$(echo "$last" | sed 's/=/_/').dsc"
exit 0
FAKE
# Unpacks half a tree, or a whole one with a configure that succeeds, as
# FAKE_UNPACK says.
cat > "$fakes/dpkg-source" <<'FAKE'
#!/bin/sh
mkdir -p "$3"
echo "half" > "$3/README"
[ "$FAKE_UNPACK" = fails ] && exit 2
printf '#!/bin/sh\nexit 0\n' > "$3/configure"
chmod +x "$3/configure"
exit 0
FAKE
# Building the library fails; installing (what an older build left) works.
cat > "$fakes/make" <<'FAKE'
#!/bin/sh
for argument in "$@"; do
  [ "$argument" = libz.a ] && exit 2
done
exit 0
FAKE
chmod +x "$fakes"/*

run() {
  local deps=$1
  PATH="$fakes:$PATH" bash "$script" "$deps" > "$work/out.txt" 2> "$work/err.txt"
}

FAKE_UNPACK=fails run "$work/unpack" && fail "a failed unpacking was reported as success: $(cat "$work/out.txt")"
[ -e "$work/unpack/src/zlib-1.0-1/.unpacked" ] && fail "a half-unpacked tree was marked unpacked"
[ -e "$work/unpack/stamps/zlib" ] && fail "zlib was stamped built from a failed unpacking"
grep -q "cannot unpack the source package zlib" "$work/err.txt" || fail "no message: $(cat "$work/err.txt")"

FAKE_UNPACK=works run "$work/build" && fail "a failed build was reported as success: $(cat "$work/out.txt")"
[ -e "$work/build/src/zlib-1.0-1/.unpacked" ] || fail "a whole unpacking was not marked: $(cat "$work/err.txt")"
[ -e "$work/build/stamps/zlib" ] && fail "zlib was stamped built from a failed build"
grep -q "failed" "$work/out.txt" || fail "the failed build was not reported: $(cat "$work/out.txt")"
exit 0
