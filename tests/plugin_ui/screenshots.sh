#!/bin/sh
# Screenshots of the editor and of the made-filter dialog on the sample
# photograph, taken from the display with ImageMagick while the dialog tests
# hold their dialogs open:  sh tests/plugin_ui/screenshots.sh
# Writes docs/screenshots/editor.png and docs/screenshots/made-filter.png.
set -e
cd "$(dirname "$0")/../.."
BUILD=${BUILD:-build}
cmake --build "$BUILD" --target plugin_ui_test
export WINEPREFIX="$(pwd)/$BUILD/wineprefix"
DISPLAY_BASE=${TEST_DISPLAY:-77}
. scripts/display.sh
sh cmake/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true

WORK="$BUILD/screenshots"
mkdir -p "$WORK" docs/screenshots
convert assets/coffee.png -depth 8 "$WORK/photo.ppm"
export TINCTOR_SHOT_IMAGE="$(winepath -w "$WORK/photo.ppm" 2>/dev/null)"
export TINCTOR_SHOT_PAUSE_MS=3000

shot() {  # shot TEST_FILTER OUTPUT
  (cd "$BUILD" && sh ../cmake/wine-run.sh tests/plugin_ui/plugin_ui_test.exe --gtest_filter="$1" \
     > "../$WORK/run.txt" 2>&1) &
  run=$!
  i=0
  while ! grep -q '^screenshot ' "$WORK/run.txt" 2>/dev/null && [ $i -lt 200 ]; do sleep 0.1; i=$((i + 1)); done
  sleep 0.5
  geometry=$(grep '^screenshot ' "$WORK/run.txt" | head -1 | cut -d' ' -f2 | tr -d '\r')
  import -window root "$WORK/root.png"
  convert "$WORK/root.png" -crop "$geometry" +repage "$2"
  wait $run || true
  echo "Written: $2 ($geometry)"
}
shot 'EditorDialog.Typing*' docs/screenshots/editor.png
shot 'MadeFilterDialog.Shipped*' docs/screenshots/made-filter.png
