#!/bin/sh
# Screenshots of the editor and of the made-filter dialog on the sample
# photograph, docs/screenshots/editor.png and made-filter.png: the walk
# scripts/shots/editor_shots.cpp opens each dialog and asks for its picture,
# which this script takes from the display with ImageMagick.
set -e
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
cmake --build "$BUILD" --target editor_shots
export WINEPREFIX="$(pwd)/$BUILD/wineprefix"
DISPLAY_BASE=${TEST_DISPLAY:-77}
. scripts/display.sh
sh cmake/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true

WORK="$(pwd)/$BUILD/screenshots"
rm -rf "$WORK"
mkdir -p "$WORK" docs/screenshots
convert assets/coffee.png -depth 8 "$WORK/photo.ppm"
(cd "$BUILD" && sh ../cmake/wine-run.sh scripts/shots/editor_shots.exe \
   "$(winepath -w "$WORK/photo.ppm")" "$(winepath -w "$WORK")" >"$WORK/run.txt" 2>&1) &
walk=$!
# Each request <name>.req holds the window's place on the screen; <name>.done
# answers it once docs/screenshots/<name>.png is written.
while kill -0 $walk 2>/dev/null; do
  for req in "$WORK"/*.req; do
    [ -e "$req" ] || continue
    name=$(basename "$req" .req)
    read -r geometry <"$req" || true
    import -window root "$WORK/root.png"
    convert "$WORK/root.png" -crop "$geometry" +repage "docs/screenshots/$name.png"
    rm "$req"
    touch "$WORK/$name.done"
    echo "Written: docs/screenshots/$name.png ($geometry)"
  done
  sleep 0.1
done
wait $walk || { cat "$WORK/run.txt" >&2; exit 1; }
