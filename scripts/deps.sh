#!/bin/sh
# Installs, idempotently, everything the build, the tests and the demos need
# on a Debian 12 machine (run as root).
set -e
need=""
for p in g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 nasm cmake ninja-build \
         googletest wine wine32 xvfb imagemagick mscompress gmic x11-utils xdotool bc clang-format python3 \
         fonts-dejavu-core; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need="$need $p"
done
[ -z "$need" ] && exit 0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends $need
