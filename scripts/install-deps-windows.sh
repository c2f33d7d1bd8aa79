#!/usr/bin/env bash
# Installs the Debian packages the Windows cross build and its Wine tests need (idempotent),
# and any further packages named on the command line, all without the packages they only
# recommend.
set -euo pipefail
# libheif-examples: heif-enc writes the HEIC a check expects to be refused where no codec reads it;
# apngasm writes the APNGs the program's own PNG reader plays.
source "$(dirname "$0")/apt-install.sh"
apt_install --no-recommends cmake make g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 googletest \
  libstb-dev wine wine64 fonts-wine xvfb xserver-xephyr xdotool x11-utils imagemagick icoutils python3-pefile \
  libimage-exiftool-perl tesseract-ocr tesseract-ocr-eng libheif-examples apngasm "$@"
