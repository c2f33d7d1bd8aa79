#!/usr/bin/env bash
# The Debian package: scripts/package.sh builds it, it holds every file that makes the program
# selectable, lintian finds no error in it, and unpacked its xscreensaver hack runs under the
# real xscreensaver.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/hosts.sh"
e2e_init "$1"
src="$(cd "$(dirname "$0")/../.." && pwd)"

deb=$(bash "$src/scripts/package.sh" "$(dirname "$MARVOSCOPE")") || e2e_fail "scripts/package.sh failed"
[ -f "$deb" ] || e2e_fail "scripts/package.sh printed no package: '$deb'"
[[ $(basename "$deb") =~ ^marvoscope_[0-9.]+_[a-z0-9]+\.deb$ ]] || e2e_fail "package name $(basename "$deb")"
e2e_log "package: $deb"
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$E2E_TMP/files.txt"
for path in bin/marvoscope libexec/xscreensaver/marvoscope share/xscreensaver/config/marvoscope.xml \
            libexec/xsecurelock/saver_marvoscope share/applications/marvoscope.desktop \
            share/icons/hicolor/16x16/apps/marvoscope.png share/icons/hicolor/48x48/apps/marvoscope.png \
            share/icons/hicolor/256x256/apps/marvoscope.png share/man/man1/marvoscope.1.gz \
            share/doc/marvoscope/copyright; do
  grep -qx "./usr/$path" "$E2E_TMP/files.txt" || e2e_fail "the package lacks /usr/$path"
done
control=$(dpkg-deb -f "$deb")
grep -q '^Suggests: xscreensaver | xsecurelock, xss-lock$' <<<"$control" || e2e_fail "Suggests: $control"
grep -q '^Depends: .*libqt6widgets6' <<<"$control" || e2e_fail "no dependencies from the binary: $control"
e2e_pass "the package holds every file, its Suggests and the binary's dependencies"

lintian "$deb" >"$E2E_TMP/lintian.txt" 2>&1
sed 's/^/[lintian] /' "$E2E_TMP/lintian.txt" >&2
! grep -q '^E:' "$E2E_TMP/lintian.txt" || e2e_fail "lintian reports errors"
e2e_pass "lintian reports no errors"

root="$E2E_TMP/root"
mkdir -p "$root"
dpkg-deb -x "$deb" "$root"
chmod 755 "$root"
e2e_start_xvfb 640x480
e2e_host_user_setup "$MARVOSCOPE"
e2e_host_pictures
hack="$root/usr/libexec/xscreensaver/marvoscope"
trap 'e2e_stop_pattern "$hack"; e2e_cleanup' EXIT
e2e_xscreensaver_start "$hack --root"
e2e_xscreensaver_round "unpacked package" "$hack"
e2e_pass "the unpacked package's hack runs under xscreensaver"
