#!/usr/bin/env bash
# Builds the Debian package marvoscope_<version>_<arch>.deb (install prefix /usr) in the build
# folder and prints its path. The packaged program is compiled apart, in BUILD_DIR/deb, with
# Debian's hardening flags (dpkg-buildflags, every hardening feature on) and stripped as Debian
# strips its programs.
#   scripts/package.sh [BUILD_DIR]    default: build
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
tree="$dir/deb"
mkdir -p "$tree"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# Stack clash and control-flow protection, which later Debian releases add to these flags,
# where the compiler has them.
extra=""
for f in -fstack-clash-protection -fcf-protection; do
  echo 'int main() { return 0; }' | c++ -x c++ -Werror "$f" -o /dev/null - 2>/dev/null && extra+=" $f"
done
# Given on the command line, not through the environment, so that a tree configured before
# takes them too. CMake reads no CPPFLAGS: the preprocessor's (_FORTIFY_SOURCE) go with the
# compiler's.
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release -DMARVOSCOPE_TESTS=OFF -DMARVOSCOPE_BENCH=OFF "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)$extra" -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)$extra" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >"$tree/configure.log" 2>&1 || { cat "$tree/configure.log" >&2; exit 1; }
cmake --build "$tree" -j2 --target marvoscope mv_packaging >"$tree/build.log" 2>&1 || { cat "$tree/build.log" >&2; exit 1; }
# Debug data, the symbol table, the compilers' notes and the .comment section go, as dh_strip does.
strip --remove-section=.comment --remove-section=.note --strip-unneeded "$tree/marvoscope"

rm -f "$dir"/marvoscope_*.deb "$tree"/marvoscope_*.deb
(cd "$tree" && cpack -G DEB >cpack.log 2>&1) || { cat "$tree/cpack.log" >&2; exit 1; }
mv "$tree"/marvoscope_*.deb "$dir/"
deb=$(ls "$dir"/marvoscope_*.deb)
echo "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
