#!/usr/bin/env bash
# --file as hosts and users write it: "~/..." (xscreensaver stores and passes home paths so, with
# no shell to expand them) and a path relative to where the program was started, even with a
# same-named picture in the program's own folder.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/hosts.sh"
e2e_init "$1"
e2e_start_xvfb 640x480
e2e_own_folder marvoscope
e2e_setting BackColors 0

mkdir -p "$HOME/Pictures" "$E2E_TMP/pics"
/usr/bin/convert -size 64x48 xc:lime "$HOME/Pictures/anim.png"
/usr/bin/convert -size 64x48 xc:blue "$E2E_TMP/pics/a.png"
/usr/bin/convert -size 64x48 xc:red "$E2E_TMP/prog/a.png"
e2e_host_window 0 0 200 150

e2e_start --window-id "$E2E_HOST_ID" --file "~/Pictures/anim.png"
e2e_wait_pixel home 100 75 0,255,0 5 || e2e_fail "~/Pictures/anim.png is not shown"
e2e_ends_on TERM "home path"
e2e_pass "a path starting with ~/ is read from the home folder"

cd "$E2E_TMP/pics" || e2e_fail "cd"
e2e_start --window-id "$E2E_HOST_ID" --file a.png
cd - >/dev/null || e2e_fail "cd -"
e2e_wait_pixel relative 100 75 0,0,255 5 || e2e_fail "a.png from the caller's folder is not shown"
e2e_ends_on TERM "relative path"
e2e_pass "a relative path is the caller's, not the program folder's"
