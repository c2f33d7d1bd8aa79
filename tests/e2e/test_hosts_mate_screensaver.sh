#!/usr/bin/env bash
# Under the real mate-screensaver: the saver entry the package installs lists the program as a
# theme, and with that theme chosen through gsettings, activating the screen saver shows the
# stored picture in mate-screensaver's own window; deactivating ends the program.
# mate-screensaver runs a theme's command only from the hack folders it knows
# (/usr/libexec/xscreensaver among them), where the package links the program; here a private
# mount puts the program there for this check alone.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/hosts.sh"
e2e_init "$1"
src="$(cd "$(dirname "$0")/../.." && pwd)"
command -v mate-screensaver >/dev/null || e2e_skip "mate-screensaver is not installed"
command -v unshare >/dev/null || e2e_skip "unshare is not installed"
mount_ns=(unshare --mount --propagation private)
[ "$(id -u)" -eq 0 ] || mount_ns=(unshare --map-root-user --mount --propagation private)
"${mount_ns[@]}" true 2>/dev/null || e2e_skip "no private mount namespace here"

e2e_start_xvfb 640x480
e2e_host_user_setup "$MARVOSCOPE"
e2e_host_pictures
mkdir -p "$E2E_TMP/share/applications/screensavers" "$E2E_TMP/hacks"
cp "$src/packaging/screensavers/marvoscope.desktop" "$E2E_TMP/share/applications/screensavers/"
ln -s "$E2E_USER_BIN/marvoscope" "$E2E_TMP/hacks/marvoscope"
chmod -R a+rX "$E2E_TMP/share" "$E2E_TMP/hacks"

# The user's session: a bus of its own, settings in a key file under the throw-away home, the
# program's folder on PATH for the entry's TryExec, and this check's saver entry first.
E2E_AS_USER+=("PATH=$E2E_USER_BIN:/usr/bin:/bin" "XDG_DATA_DIRS=$E2E_TMP/share:/usr/share"
              "XDG_CURRENT_DESKTOP=MATE" "GSETTINGS_BACKEND=keyfile")
bus="$E2E_USER_HOME/run/bus"
"${E2E_AS_USER[@]}" dbus-daemon --session --nofork --address="unix:path=$bus" >"$E2E_TMP/dbus.log" 2>&1 &
E2E_PIDS+=("$!")
e2e_wait_until 5 test -S "$bus" || e2e_fail "the session bus did not start: $(cat "$E2E_TMP/dbus.log")"
E2E_AS_USER+=("DBUS_SESSION_BUS_ADDRESS=unix:path=$bus")

e2e_as_user gsettings set org.mate.screensaver mode single &&
  e2e_as_user gsettings set org.mate.screensaver themes "['screensavers-marvoscope']" &&
  e2e_as_user gsettings set org.mate.screensaver lock-enabled false || e2e_fail "gsettings cannot choose the theme"

# The mount is made as root in the namespace; the host itself runs as the user.
"${mount_ns[@]}" sh -c 'mount --bind "$0" /usr/libexec/xscreensaver && exec "$@"' "$E2E_TMP/hacks" \
  "${E2E_AS_USER[@]}" mate-screensaver --no-daemon --debug >"$E2E_TMP/mate.log" 2>&1 &
E2E_PIDS+=("$!")
_mate_ready() { e2e_as_user mate-screensaver-command --query 2>&1 | grep -q 'screensaver is inactive'; }
e2e_wait_until 15 _mate_ready || e2e_fail "mate-screensaver did not start: $(tail -n 20 "$E2E_TMP/mate.log")"

/usr/bin/convert "$E2E_TMP/still.jpg" -resize '640x480!' "$E2E_TMP/still-640x480.png"
pattern='^marvoscope --root$'
e2e_as_user mate-screensaver-command --activate >/dev/null || e2e_fail "mate-screensaver-command --activate"
e2e_wait_picture mate "$E2E_TMP/still-640x480.png" 0.05 10 ||
  e2e_fail "the screen does not show the picture (RMSE $E2E_RMSE); mate-screensaver said: $(grep -E 'job|command' "$E2E_TMP/mate.log" | tail -n 12)"
e2e_log "screenshot vs. picture stretched to 640x480: RMSE $E2E_RMSE"
[ -n "$(e2e_pids_of "$pattern")" ] || e2e_fail "no 'marvoscope --root' process"
e2e_pass "mate-screensaver runs the installed entry's command and shows the stored picture"

e2e_as_user mate-screensaver-command --deactivate >/dev/null
e2e_wait_gone "$pattern" 3 || e2e_fail "marvoscope still runs 3 s after --deactivate"
e2e_pass "deactivating mate-screensaver ends the program"
