#!/usr/bin/env bash
# Installs what building, running and testing need, when it is missing (Debian).
set -eu
pkgs="cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools wine64 libwine
fonts-wine xvfb x11vnc x11-utils xdotool googletest imagemagick netpbm python3 python3-pil"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "installing:$missing"
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -q
  # Never the 32-bit wine packages: this kernel runs no 32-bit code.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
fi
