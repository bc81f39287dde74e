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
if [ -z "$DISPLAY" ]; then
  WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  num=88
  while [ -e "/tmp/.X${num}-lock" ]; do num=$((num + 1)); done
  Xvfb ":$num" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null' EXIT INT TERM
  export DISPLAY=":$num"
  i=0; while [ ! -e "/tmp/.X11-unix/X$num" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
fi
run() { sh cmake/wine-run.sh "$BUILD/lumora.exe" "$@"; }

echo "== The filter menu of $BUILD/plugins"
run list
echo "== Filtering $IN with \"Tinctor Grain\""
run apply --filter "Tinctor Grain" --repeat "$IN" "$OUT"
echo "== Written: $(cd "$(dirname "$OUT")" && pwd)/$(basename "$OUT")"
