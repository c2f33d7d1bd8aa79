#!/usr/bin/env bash
# Sets up everything and runs every test: unit, backend, end-to-end under Xvfb, and the
# Windows build under Wine when its script is present.
#   --quick   only the unit and Qt-backend tests of the Linux build, with what is installed
#             already: no package install, no display, no Wine
set -uo pipefail
cd "$(dirname "$0")/.."
quick=""
case "${1:-}" in
  --quick) quick=1 ;;
  "") ;;
  *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
esac
# Tests never see the real user's settings or files.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The Windows packages, ffmpeg (the GIF checks play what it writes, as most animated GIFs
# people have are written so; it needs none of the codec drivers it recommends), the real
# screen-saver hosts the hosted mode is checked under, and the package checkers (lintian,
# appstreamcli, hardening-check from devscripts, desktop-file-validate), and the Wayland
# compositors and tools of the layer checks (sway, grim, wtype, weston), arrive while the Linux
# build compiles.
deps_pid=""
if [ -z "$quick" ]; then
  bash scripts/install-deps.sh || exit 1
  later() {
    if [ -f scripts/test-windows.sh ]; then bash scripts/install-deps-windows.sh ffmpeg || return 1
    else (source scripts/apt-install.sh && apt_install --no-recommends ffmpeg) || return 1; fi
    (source scripts/apt-install.sh && apt_install xscreensaver xsecurelock lintian &&
     apt_install --no-recommends mate-screensaver appstream devscripts desktop-file-utils sway grim wtype weston)
  }
  later >"$scratch/deps.log" 2>&1 &
  deps_pid=$!
fi
deps_ready() {
  [ -n "$deps_pid" ] || return 0
  wait "$deps_pid" && return 0
  cat "$scratch/deps.log"; echo "0 passed, 1 failed"; exit 1
}
export XDG_CONFIG_HOME="$scratch/config" XDG_CACHE_HOME="$scratch/cache" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

passed=0; failed=0
count() {  # adds the figures of a ctest summary line
  local line; line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  local f t; f=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line"); t=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + t - f)); failed=$((failed + f))
}

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null && cmake --build build -j"$(nproc)" || { echo "0 passed, 1 failed"; exit 1; }
deps_ready
only=(); [ -n "$quick" ] && only=(-LE e2e)
(cd build && ctest --output-on-failure "${only[@]}") | tee "$scratch/linux.log"
count "$scratch/linux.log"

if [ -z "$quick" ] && [ -f scripts/test-windows.sh ]; then
  bash scripts/test-windows.sh | tee "$scratch/windows.log"
  count "$scratch/windows.log"
fi

echo "Total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
