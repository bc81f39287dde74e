#!/bin/sh
# Runs a Windows program under Wine in the build folder's own prefix.
# WINEPREFIX may be set by the caller; otherwise it is <build>/wineprefix,
# where <build> is the nearest folder holding CMakeCache.txt at or above the
# program's own folder, else at or above the current folder, else the
# repository's build folder (${BUILD:-build} beside this script's folder).
# So `sh cmake/wine-run.sh build/lumora.exe ...` from the repository root
# uses the build's prefix and never makes a second one in the root.

# Prints the nearest folder at or above $1 that holds CMakeCache.txt.
find_build() {
  d=$(cd "$1" 2>/dev/null && pwd) || return 1
  while :; do
    [ -f "$d/CMakeCache.txt" ] && { echo "$d"; return 0; }
    [ "$d" = "/" ] && return 1
    d=$(dirname "$d")
  done
}

if [ -z "$WINEPREFIX" ]; then
  build=""
  case "$1" in */*) build=$(find_build "$(dirname "$1")") ;; esac
  [ -n "$build" ] || build=$(find_build .)
  [ -n "$build" ] || build=$(find_build "$(dirname "$0")/../${BUILD:-build}")
  if [ -z "$build" ]; then
    echo "wine-run.sh: no build folder (CMakeCache.txt) found; configure one or set WINEPREFIX" >&2
    exit 2
  fi
  WINEPREFIX="$build/wineprefix"
fi
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  WINEARCH=win32 wineboot -i >/dev/null 2>&1
  wineserver -w
fi
exec wine "$@"
