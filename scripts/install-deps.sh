#!/usr/bin/env bash
# Installs the Debian packages the Linux build, its tests and its demo need (idempotent), and
# any further packages named on the command line.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev libgtest-dev libgmock-dev xvfb xdotool x11-utils imagemagick libxfixes-dev
          libgif-dev libstb-dev gifsicle fonts-dejavu-extra libxcb1-dev
          # the package (CPack reads binaries with file and dpkg-shlibdeps) and its checks
          dpkg-dev file lintian
          # the real screen-saver hosts the hosted mode is checked under
          xscreensaver xsecurelock "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""; [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -o DPkg::Lock::Timeout=600 -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi
