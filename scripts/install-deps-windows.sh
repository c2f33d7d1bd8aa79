#!/usr/bin/env bash
# Installs the Debian packages the Windows cross build and its Wine tests need (idempotent).
set -euo pipefail
packages=(cmake make g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 googletest libstb-dev
          wine wine64 fonts-wine xvfb xserver-xephyr xdotool x11-utils imagemagick icoutils python3-pefile)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""; [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -o DPkg::Lock::Timeout=600 -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi
