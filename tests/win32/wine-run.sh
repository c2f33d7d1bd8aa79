#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, quietly and never in the user's own Wine
# prefix: without a WINEPREFIX from the caller, a private throw-away one is used.
#
# ctest lists a test program's tests before running them and allows that only a few seconds;
# a Wine start on a busy machine can take longer. So a listing is kept next to the program
# and answered from there while the program is unchanged.
set -u
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="${TMPDIR:-/tmp}/marvoscope-wine-$(id -u)"
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  DISPLAY= wineboot -i >/dev/null 2>&1
fi
if [ $# -eq 2 ] && [ "$2" = "--gtest_list_tests" ] && [ -f "$1" ]; then
  cache="$1.test-list"
  if [ -f "$cache" ] && [ "$cache" -nt "$1" ]; then
    cat "$cache"
    exit 0
  fi
  if wine "$1" --gtest_list_tests >"$cache.part" 2>/dev/null; then
    mv "$cache.part" "$cache"
    cat "$cache"
    exit 0
  fi
  rm -f "$cache.part"
fi
exec wine "$@"
