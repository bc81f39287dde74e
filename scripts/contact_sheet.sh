#!/bin/sh
# The Obsidia collection at a glance: the sample photograph filtered with
# each made filter of build/plugins (pkfilt01..10.lmf, built from collection/),
# labelled with its menu name, in one picture.
#   sh scripts/contact_sheet.sh [OUTPUT]     (default docs/screenshots/collection.jpg)
# Needs a built tree; uses DISPLAY when set, else a private Xvfb.
set -e
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT=${1:-docs/screenshots/collection.jpg}
IN=assets/coffee.png
WORK="$BUILD/out/collection"
mkdir -p "$WORK" "$(dirname "$OUT")"
export WINEPREFIX="$(pwd)/$BUILD/wineprefix"
DISPLAY_BASE=${TEST_DISPLAY:-89}
[ -n "$DISPLAY" ] || . scripts/display.sh
run() { sh cmake/wine-run.sh "$BUILD/lumora.exe" "$@"; }

# A smaller copy keeps the sheet light; every filter gets the same input.
convert "$IN" -resize 480x "$WORK/input.png"
tiles=""
for plugin in "$BUILD"/plugins/pkfilt*.lmf; do
  file=$(basename "$plugin" .lmf)
  # The menu name from the host's own list (dots of a dialog dropped).
  name=$(run list | tr -d '\r' | awk -v f="$file.lmf" '$NF == f { $1 = ""; $NF = ""; sub(/^ +/, ""); sub(/ +$/, ""); print }')
  name=${name%...}
  # --repeat: the stored slider values, no dialog.
  run apply --filter "$file" --repeat --quiet "$WORK/input.png" "$WORK/$file.png" >/dev/null
  convert "$WORK/$file.png" -gravity south -background '#202020' -fill white \
    -font DejaVu-Sans -pointsize 20 -splice 0x32 -annotate +0+4 "$name" "$WORK/$file-tile.png"
  tiles="$tiles $WORK/$file-tile.png"
done
convert "$WORK/input.png" -gravity south -background '#202020' -fill white -font DejaVu-Sans \
  -pointsize 20 -splice 0x32 -annotate +0+4 "Original" "$WORK/original-tile.png"
montage "$WORK/original-tile.png" $tiles -tile 4x -geometry +6+6 -background '#101010' \
  -quality 85 "$OUT"
echo "$OUT"
