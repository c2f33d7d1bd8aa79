#!/usr/bin/env bash
# Makes the Wine prefix in $WINEPREFIX ready for the checks: created without the .NET and
# browser-engine installers, and with the X11 driver's windows unmanaged (no window manager
# decorates or delays them; Wine draws the frames itself).
set -euo pipefail
: "${WINEPREFIX:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
