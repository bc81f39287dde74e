#!/bin/sh
# Builds everything and runs the whole test suite under Wine, inside an Xvfb
# display of its own (dialogs and controls open real windows).
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
BUILD=${BUILD:-build}
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja
cmake --build "$BUILD"

# A display before the first Wine process: a wineserver started without one
# makes every later window creation in the prefix fail.
export WINEPREFIX="$(pwd)/$BUILD/wineprefix"
WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
num=${TEST_DISPLAY:-77}
while [ -e "/tmp/.X${num}-lock" ]; do num=$((num + 1)); done
Xvfb ":$num" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT INT TERM
export DISPLAY=":$num"
i=0; while [ ! -e "/tmp/.X11-unix/X$num" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
sh cmake/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true

cd "$BUILD"
ctest --output-on-failure --timeout 900 "$@"
