#!/usr/bin/env bash
# Installs everything the build, the demo and the tests need (Debian 12, as root).
set -euo pipefail
packages=(
  cmake make git ca-certificates
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev
  googletest
  wine64
  xvfb xauth x11-utils imagemagick
  python3 vsftpd tinyproxy-bin
  e2fsprogs
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
