#!/usr/bin/env bash
# Builds everything, then the Debian package of the install tree, and prints
# the package's path: BUILD_DIR/stillwater_<version>_<architecture>.deb.
#   tools/package-deb.sh [BUILD_DIR]
# Check it with `lintian` and install it with `sudo apt install ./FILE.deb`.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$top/build}
"$top/tools/build.sh" "$build_dir"
cmake --build "$build_dir" --target package -- --no-print-directory >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
package=$build_dir/stillwater_${version}_$(dpkg --print-architecture).deb
[ -f "$package" ] || { echo "no package at $package" >&2; exit 1; }
echo "$package"
