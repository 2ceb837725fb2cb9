#!/usr/bin/env bash
# Installs everything the build, the demo and the tests need (Debian 12, as root).
set -euo pipefail
# The program is 32-bit: Wine's 32-bit loader (wine32, of the i386 architecture) runs it
# in a 64-bit prefix as 64-bit Windows runs 32-bit programs, beside wine64. The x86-64
# compiler builds the tests for a machine that runs no 32-bit code (scripts/build.sh).
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
packages=(
  cmake make git ca-certificates
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 libz-mingw-w64-dev
  googletest
  wine64 wine32:i386
  xvfb xauth x11-utils imagemagick
  python3 vsftpd tinyproxy-bin
  dpkg-dev zip unzip time curl
  e2fsprogs nginx-light
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

# zlib's own minizip (contrib/minizip of Debian's zlib source package) reads the zip
# container for platform/unzip32. Its sources are not part of this repository: they
# are unpacked once into $TWI_MINIZIP_ROOT, where CMake looks for them.
minizip_root=${TWI_MINIZIP_ROOT:-/usr/local/src/twi-minizip}
if [ ! -f "$minizip_root/minizip/unzip.c" ]; then
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    # The same archive this machine installs from (its own server or mirror), with the
    # source type: the release's main entries of its package sources.
    entry=$(python3 "$(dirname "$0")/deb-src-entry.py")
    printf '%s\n' "$entry" >/etc/apt/sources.list.d/twi-deb-src.sources
    apt-get update
  fi
  work=$(mktemp -d /tmp/twi-zlib-src.XXXXXX)
  (cd "$work" && apt-get source zlib >/dev/null)
  mkdir -p "$minizip_root"
  rm -rf "$minizip_root/minizip"
  cp -r "$work"/zlib-*/contrib/minizip "$minizip_root/minizip"
  rm -rf "$work"
fi
