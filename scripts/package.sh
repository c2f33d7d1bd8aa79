#!/usr/bin/env bash
# Builds the Debian package marvoscope_<version>_<arch>.deb (install prefix /usr) in the build
# folder and prints its path.
#   scripts/package.sh [BUILD_DIR]    default: build
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j2 --target marvoscope mv_packaging >/dev/null
rm -f "$dir"/marvoscope_*.deb
(cd "$dir" && cpack -G DEB >cpack.log 2>&1) || { cat "$dir/cpack.log" >&2; exit 1; }
deb=$(ls "$dir"/marvoscope_*.deb)
echo "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
