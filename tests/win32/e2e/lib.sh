# The Wine side of the end-to-end checks: the real Marvoscope.scr in a throw-away Wine prefix
# on its own virtual X display (both made here unless the caller, scripts/test-windows.sh,
# already provides them), with its settings in that prefix's registry. Never the user's.
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_init "$1"                      # $1: path to Marvoscope.scr
#   e2e_setting AniFile "$(e2e_winpath "$pic")"
#   e2e_press KEY WINDOW
# and the shared helpers of ../../e2e/common.sh.
source "$(dirname "${BASH_SOURCE[0]}")/../../e2e/common.sh"

E2E_SETTINGS_KEY='HKCU\Software\VB and VBA Program Settings\Marvoscope 1.0 Demo\Settings'
E2E_OWN_PREFIX=""

# Wine programs outlive a plain TERM; whatever a failed check left running must go, and so
# must a Wine server of the check's own prefix.
e2e_side_cleanup() { [ -n "$E2E_OWN_PREFIX" ] && wineserver -k 2>/dev/null; true; }
# The program keeps its frame file in the user's folders when its own is not safe.
e2e_scratch_places() { echo "$WINEPREFIX/drive_c/users"; }

# e2e_init SCR: the program under test; the display and prefix unless the caller made them.
e2e_init() {
  e2e_program "${1:-}"
  E2E_LAUNCHER=wine
  E2E_STOP_SIGNAL=KILL
  e2e_workdir
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -z "${MARVOSCOPE_WINE_READY:-}" ]; then
    e2e_start_xvfb 1024x768
    export WINEPREFIX="$E2E_TMP/prefix"
    E2E_OWN_PREFIX=1
    # scripts/test-windows.sh keeps a prepared prefix aside for the checks that need their own.
    local here; here=$(dirname "${BASH_SOURCE[0]}")
    if ! { [ -n "${MARVOSCOPE_WINE_TEMPLATE:-}" ] &&
           bash "$here/../copy-prefix.sh" "$MARVOSCOPE_WINE_TEMPLATE" "$WINEPREFIX"; }; then
      rm -rf "$WINEPREFIX"
      bash "$here/../prepare-prefix.sh" || e2e_fail "cannot prepare the Wine prefix"
    fi
  fi
  # A show of an earlier check may still be on its way out (its window outlives its process by
  # a moment in Wine); a new show would take it for a running saver and end at once.
  e2e_wait_until 15 _e2e_no_earlier_window || true
}
_e2e_no_earlier_window() { [ -z "$(xdotool search --name '^(Marvoscope|Make a Marvoscope)$' 2>/dev/null)" ]; }

# The program reads and writes its settings through the registry.
e2e_clear_settings() { wine reg delete "$E2E_SETTINGS_KEY" /f >/dev/null 2>&1; true; }
e2e_setting() {
  wine reg add "$E2E_SETTINGS_KEY" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1 || e2e_fail "reg add $1"
}
# e2e_get_setting KEY: the stored text of one value, "" when missing.
e2e_get_setting() {
  wine reg query "$E2E_SETTINGS_KEY" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}
# e2e_winpath FILE: the Windows path of a Unix file.
e2e_winpath() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# e2e_wait_colours NAME SECONDS: screenshots NAME-1, NAME-2... until the centre of the screen
# has shown two of red, green and blue; E2E_SEEN holds those seen.
declare -A E2E_SEEN=()
_e2e_tries=0
_e2e_two_colours() {
  local c want
  _e2e_tries=$((_e2e_tries + 1))
  e2e_screenshot "$1-$_e2e_tries"
  c=$(e2e_pixel "$E2E_SHOT" 512 384)
  for want in 255,0,0 0,255,0 0,0,255; do e2e_near "$c" "$want" 30 && E2E_SEEN[$want]=1; done
  [ "${#E2E_SEEN[@]}" -ge 2 ]
}
e2e_wait_colours() { E2E_SEEN=(); _e2e_tries=0; e2e_wait_until "$2" _e2e_two_colours "$1"; }

# e2e_press KEY WINDOW: presses a key in a window through the X server (XTEST), press and
# release alike. A key sent to the window directly would lose its release when the window
# closes on the press, and Wine would then hold the key down for the next program.
e2e_press() {
  e2e_focus "$2" || e2e_log "window $2 did not take the focus"
  xdotool key "$1"
}

# e2e_key_ends_show: a key ends the show in window $win, and its window is gone before the next
# show starts.
e2e_key_ends_show() {
  e2e_press space "$win"
  e2e_wait_exit 20 || e2e_fail "the show did not end on a key"
  e2e_wait_no_window Marvoscope 15 || true
}

# e2e_colour_watch X Y SECONDS: the Linux side's pixel watcher, on Wine's X display.
e2e_colour_watch() {
  local src; src="$(dirname "${BASH_SOURCE[0]}")/../../e2e/colour_watch.c"
  [ -x "$E2E_TMP/colour_watch" ] || cc -O1 -o "$E2E_TMP/colour_watch" "$src" -lX11 || e2e_fail "cannot build colour_watch"
  "$E2E_TMP/colour_watch" "$@"
}
