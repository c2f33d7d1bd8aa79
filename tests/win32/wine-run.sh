#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, quietly and never in the user's own Wine
# prefix: without a WINEPREFIX from the caller, a private throw-away one is used.
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
exec wine "$@"
