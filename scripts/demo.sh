#!/bin/sh
# The main job: builds the plug-ins, the Obsidia collection and the stand-in
# host, lists the filter menu, and filters a real photograph with the shipped
# plug-in. When a display is present (DISPLAY set), it then also opens the
# formula editor on the photograph.
#   sh scripts/demo.sh [INPUT [OUTPUT]]
#   sh scripts/demo.sh --editor [INPUT [OUTPUT]]
# --editor only opens the formula editor (TinctorEditor.lmf) on the
# photograph, through `lumora apply` without --repeat; OK writes the result,
# Cancel writes nothing. It needs a display; without one the demo runs
# headless.
set -e
cd "$(dirname "$0")/.."
EDITOR_MODE=0
if [ "$1" = "--editor" ]; then
  EDITOR_MODE=1
  shift
fi
if [ "$EDITOR_MODE" = 1 ] && [ -z "$DISPLAY" ]; then
  echo "demo.sh: --editor opens a window and needs a display (set DISPLAY)" >&2
  exit 2
fi
USER_DISPLAY=$DISPLAY
sh scripts/deps.sh
BUILD=${BUILD:-build}
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja
cmake --build "$BUILD" --target lumora Tinctor TinctorEditor obsidia_collection

IN=${1:-assets/coffee.png}
if [ "$EDITOR_MODE" = 1 ]; then
  OUT=${2:-$BUILD/out/coffee-editor.png}
else
  OUT=${2:-$BUILD/out/coffee-grain.png}
fi
mkdir -p "$(dirname "$OUT")"

export WINEPREFIX="$(pwd)/$BUILD/wineprefix"
# Wine needs a display for the host's window; use a private one when none is set.
DISPLAY_BASE=88
[ -n "$DISPLAY" ] || . scripts/display.sh
run() { sh cmake/wine-run.sh "$BUILD/lumora.exe" "$@"; }

# editor IN OUT: the formula editor on IN; OK writes OUT.
editor() {
  echo "== Opening the formula editor on $1 (OK applies, Cancel writes nothing)"
  status=0
  run apply --filter "Tinctor Editor" "$1" "$2" || status=$?
  case $status in
    0) echo "== Written: $(cd "$(dirname "$2")" && pwd)/$(basename "$2")" ;;
    1) echo "== Cancelled: nothing written" ;;
  esac
  return $status
}

if [ "$EDITOR_MODE" = 1 ]; then
  editor "$IN" "$OUT"
  exit $?
fi

echo "== The filter menu of $BUILD/plugins"
run list
echo "== Filtering $IN with \"Tinctor Grain\""
run apply --filter "Tinctor Grain" --repeat "$IN" "$OUT"
echo "== Written: $(cd "$(dirname "$OUT")" && pwd)/$(basename "$OUT")"
if [ -n "$USER_DISPLAY" ] && [ -z "$DEMO_NO_EDITOR" ]; then
  editor "$IN" "$BUILD/out/coffee-editor.png" || true
fi
