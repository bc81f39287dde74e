#!/bin/sh
# Runs a Windows program under Wine in the build folder's own prefix.
# WINEPREFIX may be set by the caller; otherwise it is <build>/wineprefix,
# found as the nearest parent folder that holds CMakeCache.txt.
if [ -z "$WINEPREFIX" ]; then
  d=$(pwd)
  while [ "$d" != "/" ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  [ -f "$d/CMakeCache.txt" ] || d=$(pwd)
  WINEPREFIX="$d/wineprefix"
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
