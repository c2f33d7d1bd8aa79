#!/usr/bin/env bash
# Installs the Debian packages the Linux build, its package and its demo need (idempotent), and
# any further packages named on the command line.
set -euo pipefail
source "$(dirname "$0")/apt-install.sh"
# dpkg-dev and file: CPack reads the program's libraries with dpkg-shlibdeps. Xorg's dummy driver
# and xrandr: a desk of two real monitors for the spanned show's check.
# libwayland-dev and wayland-protocols: the layer-shell surfaces (wayland-scanner at build time).
# libimage-exiftool-perl: the tests write photos' Exif dates and GPS positions with exiftool;
# tesseract-ocr reads the captions back off the screen.
# libheif-dev, libjxl-dev and libwebp-dev: HEIF/HEIC and AVIF, JPEG XL and WebP pictures. The
# tests and the fuzz seeds write such files with the formats' own tools (heif-enc, avifenc, cjxl,
# cwebp, img2webp) and check against their decoders; apngasm writes animated PNGs.
apt_install cmake g++ make qt6-base-dev libgtest-dev libgmock-dev xvfb xdotool x11-utils imagemagick libxfixes-dev \
  libgif-dev libstb-dev gifsicle fonts-dejavu-extra libxcb1-dev libxcb-shm0-dev libxcb-render0-dev libwayland-dev wayland-protocols pkg-config dpkg-dev file \
  xserver-xorg-video-dummy x11-xserver-utils libjpeg-turbo-progs libimage-exiftool-perl \
  tesseract-ocr tesseract-ocr-eng libheif-dev libjxl-dev libwebp-dev libheif-examples libavif-bin libjxl-tools webp apngasm \
  "$@"
