#!/bin/sh
# The main job: builds the plug-ins and the stand-in host, lists the filter
# menu, and filters a real photograph with the shipped plug-in.
#   sh scripts/demo.sh [INPUT [OUTPUT]]
#   sh scripts/demo.sh --editor [INPUT [OUTPUT]]
# --editor opens the formula editor (TinctorEditor.lmf) on the photograph
# instead, through `lumora apply` without --repeat; OK writes the result,
# Cancel writes nothing. It needs a display; the plain demo runs headless.
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
sh scripts/deps.sh
BUILD=${BUILD:-build}
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja
cmake --build "$BUILD" --target lumora Tinctor TinctorEditor

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

if [ "$EDITOR_MODE" = 1 ]; then
  echo "== Opening the formula editor on $IN (OK applies, Cancel writes nothing)"
  status=0
  run apply --filter "Tinctor Editor" "$IN" "$OUT" || status=$?
  case $status in
    0) echo "== Written: $(cd "$(dirname "$OUT")" && pwd)/$(basename "$OUT")" ;;
    1) echo "== Cancelled: nothing written" ;;
  esac
  exit $status
fi

echo "== The filter menu of $BUILD/plugins"
run list
echo "== Filtering $IN with \"Tinctor Grain\""
run apply --filter "Tinctor Grain" --repeat "$IN" "$OUT"
echo "== Written: $(cd "$(dirname "$OUT")" && pwd)/$(basename "$OUT")"
