#!/bin/sh
# The main job: builds the plug-ins and the stand-in host, lists the filter
# menu, and filters a real photograph with the shipped plug-in.
#   sh scripts/demo.sh [INPUT [OUTPUT]]
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
BUILD=${BUILD:-build}
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja
cmake --build "$BUILD" --target lumora Tinctor TinctorEditor

IN=${1:-assets/coffee.png}
OUT=${2:-$BUILD/out/coffee-grain.png}
mkdir -p "$(dirname "$OUT")"

export WINEPREFIX="$(pwd)/$BUILD/wineprefix"
# Wine needs a display for the host's window; use a private one when none is set.
DISPLAY_BASE=88
[ -n "$DISPLAY" ] || . scripts/display.sh
run() { sh cmake/wine-run.sh "$BUILD/lumora.exe" "$@"; }

echo "== The filter menu of $BUILD/plugins"
run list
echo "== Filtering $IN with \"Tinctor Grain\""
run apply --filter "Tinctor Grain" --repeat "$IN" "$OUT"
echo "== Written: $(cd "$(dirname "$OUT")" && pwd)/$(basename "$OUT")"
