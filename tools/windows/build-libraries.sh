#!/usr/bin/env bash
# Builds the libraries Stillwater links for 64-bit Windows from Debian's own
# source packages, with MinGW-w64, into DEPS/prefix (static libraries).
#
#   tools/windows/build-libraries.sh DEPS
#
# The sources come through apt-get source from the deb-src twin of every
# Debian archive the machine already uses. The apt state for that lives in
# DEPS/apt, so the system's apt configuration is left as it is. Each library
# is built once: a stamp holding its source version and build options makes
# later runs skip it.
#
# `set -e` does not act inside $(...) nor in a function called from `if !`
# (fetch_source and the build methods run there), so every step below checks
# its own status: a failed step must never leave a stamp or an unpacked mark.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deps=$(mkdir -p "$1" && cd "$1" && pwd)
prefix=$deps/prefix
toolchain=$here/mingw64.cmake
jobs=$(nproc 2>/dev/null || echo 2)
triple=x86_64-w64-mingw32
mkdir -p "$deps"/{apt,downloads,src,build,stamps,logs} "$prefix"

# --- Debian sources -----------------------------------------------------

apt_options=(
  -o Dir::Etc::SourceList=/dev/null
  -o Dir::Etc::SourceParts="$deps/apt/sources.list.d"
  -o Dir::State::Lists="$deps/apt/lists"
  -o Dir::Cache="$deps/apt/cache"
)
# apt hands downloads to its unprivileged user, which cannot write here.
[ "$(id -u)" -eq 0 ] && apt_options+=(-o APT::Sandbox::User=root)

# The deb-src entries: the machine's own deb entries, one-line and deb822.
write_source_entries() {
  local parts=$deps/apt/sources.list.d
  mkdir -p "$parts" "$deps/apt/lists/partial" "$deps/apt/cache/archives/partial"
  rm -f "$parts"/*
  local list
  for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list" >> "$parts/debian-src.list"
  done
  local n=0
  for list in /etc/apt/sources.list.d/*.sources; do
    [ -f "$list" ] || continue
    n=$((n + 1))
    sed 's/^Types:.*/Types: deb-src/' "$list" > "$parts/debian-src-$n.sources"
  done
}

if [ ! -f "$deps/apt/updated" ]; then
  write_source_entries || exit 1
  apt-get "${apt_options[@]}" -qq update || { echo "apt-get update of the source lists failed" >&2; exit 1; }
  touch "$deps/apt/updated" || exit 1
fi

# Every version of source package $1 the deb-src entries offer, newest first.
offered_versions() {
  apt-cache "${apt_options[@]}" showsrc "$1" 2>/dev/null |
    sed -n 's/^Version: //p' | sort -rVu
}

# Downloads and unpacks source package $1 (with Debian's patches applied)
# and prints the folder it is in. The newest version whose files the mirror
# has wins: a mirror may list an update before it carries its files.
fetch_source() {
  local package=$1 version dir
  for version in $(offered_versions "$package"); do
    dir=$deps/src/$package-${version#*:}
    if [ -f "$dir/.unpacked" ]; then
      echo "$dir"
      return 0
    fi
    if (cd "$deps/downloads" &&
        apt-get "${apt_options[@]}" -qq --download-only source "$package=$version") \
        >> "$deps/logs/$package.log" 2>&1; then
      rm -rf "$dir" || return 1
      if ! dpkg-source -x "$deps/downloads/${package}_${version#*:}.dsc" "$dir" >> "$deps/logs/$package.log" 2>&1; then
        echo "cannot unpack the source package $package $version (see $deps/logs/$package.log)" >&2
        return 1
      fi
      touch "$dir/.unpacked" || return 1
      echo "$dir"
      return 0
    fi
  done
  echo "cannot fetch the source package $package (see $deps/logs/$package.log)" >&2
  return 1
}

# --- building -------------------------------------------------------------

# build LIBRARY SOURCE-PACKAGE METHOD [OPTIONS...]: builds once per source
# version and options; METHOD is a function taking the source folder, the
# build folder and the options.
build() {
  local name=$1 package=$2 method=$3
  shift 3
  local dir stamp wanted start
  dir=$(fetch_source "$package") || return 1
  stamp=$deps/stamps/$name
  wanted="$(basename "$dir") $method $*"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
    return 0
  fi
  start=$(date +%s)
  printf '  %-14s %s ... ' "$name" "$(basename "$dir")"
  rm -rf "$deps/build/$name" && mkdir -p "$deps/build/$name" || return 1
  if ! "$method" "$dir" "$deps/build/$name" "$@" > "$deps/logs/$name.build.log" 2>&1; then
    echo "failed"
    tail -30 "$deps/logs/$name.build.log" >&2
    return 1
  fi
  echo "$wanted" > "$stamp" || return 1
  echo "$(( $(date +%s) - start )) s"
}

with_cmake() {
  local source=$1 binary=$2
  shift 2
  cmake -S "$source" -B "$binary" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DSTILLWATER_WINDOWS_PREFIX="$prefix" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF "$@" || return 1
  cmake --build "$binary" -j "$jobs" || return 1
  cmake --install "$binary"
}

# zlib's own configure knows MinGW: CHOST picks the cross compiler.
with_zlib_configure() {
  local source=$1 binary=$2
  cp -a "$source/." "$binary/" && cd "$binary" || return 1
  CHOST=$triple CC=$triple-gcc-posix AR=$triple-ar RANLIB=$triple-ranlib \
    CFLAGS="-O2" ./configure --static --prefix="$prefix" || return 1
  make -j "$jobs" libz.a || return 1
  make install-libs install-headers 2>/dev/null || make install
}

# SDL's pkg-config file would rename main to SDL_main, link SDL2main's
# WinMain and make every program a windowed one. Our programs have their
# own main (SDL needs no SDL_main on Windows) and each chooses its
# subsystem: the players are windowed, swtool and the tests are console
# programs.
with_sdl() {
  with_cmake "$@" || return 1
  sed -i -e 's/ -Dmain=SDL_main//' -e 's/ -lSDL2main//g' -e 's/ -mwindows//g' \
    "$prefix/lib/pkgconfig/sdl2.pc"
}

# stb is headers only; the tests compare the image decoders against it.
with_stb_headers() {
  local source=$1
  mkdir -p "$prefix/include/stb" || return 1
  cp "$source"/stb_*.h "$prefix/include/stb/"
}

echo "Windows libraries in $prefix"
build zlib zlib with_zlib_configure
build libpng libpng1.6 with_cmake -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=ON
build libjpeg libjpeg-turbo with_cmake -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
build libogg libogg with_cmake -DINSTALL_DOCS=OFF
build libvorbis libvorbis with_cmake
# kissfft sets its install folders only on UNIX.
build kissfft kissfft with_cmake -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include \
  -DCMAKE_INSTALL_BINDIR=bin -DKISSFFT_DATATYPE=float -DKISSFFT_STATIC=ON \
  -DKISSFFT_TEST=OFF -DKISSFFT_TOOLS=OFF -DKISSFFT_OPENMP=OFF
# Only the parts the player uses: window, GL, events, message boxes, audio.
build sdl2 libsdl2 with_sdl -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
  -DSDL_RENDER=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF \
  -DSDL_POWER=OFF -DSDL_VULKAN=OFF -DSDL_OPENGLES=OFF -DSDL_OFFSCREEN=OFF
build googletest googletest with_cmake -DBUILD_GMOCK=OFF
build stb libstb with_stb_headers
