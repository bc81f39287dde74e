#!/bin/sh
# Builds everything and runs the whole test suite under Wine, inside an Xvfb
# display of its own (dialogs and controls open real windows).
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
BUILD=${BUILD:-build}
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja
cmake --build "$BUILD"

export WINEPREFIX="$(pwd)/$BUILD/wineprefix"
DISPLAY_BASE=${TEST_DISPLAY:-77}
. scripts/display.sh
sh cmake/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true

cd "$BUILD"
ctest --output-on-failure --timeout 300 "$@"
