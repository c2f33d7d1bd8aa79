#!/usr/bin/env bash
# The Debian package: scripts/package.sh builds it, it holds every file that makes the program
# selectable, lintian finds nothing to say about it even when pedantic, its AppStream metainfo
# validates, its program carries every hardening feature, and unpacked its xscreensaver hack
# runs under the real xscreensaver.
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
            share/applications/screensavers/marvoscope.desktop share/metainfo/org.example.marvoscope.metainfo.xml \
            share/icons/hicolor/16x16/apps/marvoscope.png share/icons/hicolor/48x48/apps/marvoscope.png \
            share/icons/hicolor/256x256/apps/marvoscope.png share/man/man1/marvoscope.1.gz \
            share/doc/marvoscope/copyright; do
  grep -qx "./usr/$path" "$E2E_TMP/files.txt" || e2e_fail "the package lacks /usr/$path"
done
control=$(dpkg-deb -f "$deb")
grep -q '^Suggests: xscreensaver | xsecurelock | mate-screensaver, xss-lock$' <<<"$control" || e2e_fail "Suggests: $control"
grep -q '^Depends: .*libqt6widgets6' <<<"$control" || e2e_fail "no dependencies from the binary: $control"
grep -q '^Depends: .*libwayland-client0' <<<"$control" || e2e_fail "the layer surfaces' library is not a dependency: $control"
e2e_pass "the package holds every file, its Suggests and the binary's dependencies"

lintian --pedantic -I "$deb" >"$E2E_TMP/lintian.txt" 2>&1
sed 's/^/[lintian] /' "$E2E_TMP/lintian.txt" >&2
! grep -qE '^[EWIP]:' "$E2E_TMP/lintian.txt" || e2e_fail "lintian --pedantic -I has tags: $(grep -E '^[EWIP]:' "$E2E_TMP/lintian.txt")"
e2e_pass "lintian --pedantic -I reports no tag"

root="$E2E_TMP/root"
mkdir -p "$root"
dpkg-deb -x "$deb" "$root"
chmod 755 "$root"

# The desktop entries as the package has them: the settings entry the metainfo names, and the
# MATE saver entry, whose command mate-screensaver finds in xscreensaver's hack folder.
saver="$root/usr/share/applications/screensavers/marvoscope.desktop"
for line in 'Exec=marvoscope --root' 'TryExec=marvoscope' 'Categories=Screensaver;'; do
  grep -qx "$line" "$saver" || e2e_fail "the MATE saver entry lacks '$line'"
done
desktop-file-validate "$root/usr/share/applications/marvoscope.desktop" || e2e_fail "the settings entry does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.marvoscope.metainfo.xml" >"$E2E_TMP/as.txt" 2>&1 ||
  e2e_fail "appstreamcli validate: $(cat "$E2E_TMP/as.txt")"
sed 's/^/[appstreamcli] /' "$E2E_TMP/as.txt" >&2
grep -q '<launchable type="desktop-id">marvoscope.desktop</launchable>' "$root/usr/share/metainfo/org.example.marvoscope.metainfo.xml" ||
  e2e_fail "the metainfo does not name the desktop entry"
e2e_pass "the AppStream metainfo validates and names the settings entry; the MATE entry runs 'marvoscope --root'"

# Control-flow marking needs every object linked to carry it, and Debian 12's C start-up
# files do not: no program built on Debian 12 has it (its own xscreensaver neither).
hardening-check --nocfprotection "$root/usr/bin/marvoscope" >"$E2E_TMP/hardening.txt" 2>&1 ||
  e2e_fail "hardening-check: $(cat "$E2E_TMP/hardening.txt")"
sed 's/^/[hardening-check] /' "$E2E_TMP/hardening.txt" >&2
! readelf -S "$root/usr/bin/marvoscope" | grep -qE '\.comment|\.debug|\.symtab' || e2e_fail "the program keeps sections a package strips"
e2e_pass "the packaged program is hardened and stripped"
e2e_start_xvfb 640x480
e2e_host_user_setup "$MARVOSCOPE"
e2e_host_pictures
hack="$root/usr/libexec/xscreensaver/marvoscope"
trap 'e2e_stop_pattern "$hack"; e2e_cleanup' EXIT
e2e_xscreensaver_start "$hack --root"
e2e_xscreensaver_round "unpacked package" "$hack"
e2e_pass "the unpacked package's hack runs under xscreensaver"
