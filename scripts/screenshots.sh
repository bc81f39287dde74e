#!/bin/sh
# Regenerates the README's pictures from a build whose tests have run
# (sh scripts/test.sh): the skinned controls dialog that the control tests
# capture, the sample photograph before and after the shipped filter, the
# Obsidia collection's contact sheet, the maker's dialogs that its tests capture
# and the formula guide's gallery.
set -e
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
mkdir -p docs/screenshots
if [ -f "$BUILD/controls_dialog.bmp" ]; then
  convert "$BUILD/controls_dialog.bmp" docs/screenshots/controls.png
else
  echo "no $BUILD/controls_dialog.bmp: run sh scripts/test.sh first" >&2
fi
DEMO_NO_EDITOR=1 sh scripts/demo.sh assets/coffee.png "$BUILD/out/coffee-grain.png" >/dev/null
convert assets/coffee.png "$BUILD/out/coffee-grain.png" +append -resize 900x \
  -quality 85 docs/screenshots/grain.jpg
sh scripts/contact_sheet.sh docs/screenshots/collection.jpg >/dev/null
# Build Filter and the About box, as the maker's dialog tests open them,
# with the frames Wine draws itself (Managed=N) while they run.
(
  export WINEPREFIX="$(pwd)/$BUILD/wineprefix"
  DISPLAY_BASE=${TEST_DISPLAY:-77}
  . scripts/display.sh
  x11='HKCU\Software\Wine\X11 Driver'
  sh cmake/wine-run.sh reg add "$x11" /v Managed /d N /f >/dev/null 2>&1
  (cd "$BUILD/tests/plugin_ui" && sh ../../../cmake/wine-run.sh maker_dialogs.exe \
     --gtest_filter='BuildDialog.StartsFrom*:AboutBox.*' >/dev/null 2>&1) || true
  sh cmake/wine-run.sh reg delete "$x11" /v Managed /f >/dev/null 2>&1
  for shot in build_filter:build-filter about:about; do
    bmp="$BUILD/tests/plugin_ui/${shot%%:*}.bmp"
    if [ -f "$bmp" ]; then
      convert "$bmp" "docs/screenshots/${shot#*:}.png"
    else
      echo "no $bmp: the maker's dialog tests did not run" >&2
    fi
  done
)
# The editor and the made-filter dialog on the photograph.
sh scripts/editor_screenshots.sh >/dev/null
# The installer's main window and dialogs.
sh scripts/setup_screenshots.sh >/dev/null
# The formula guide's gallery: every recipe in it, through lumora fx.
python3 scripts/guide.py gallery "$BUILD" >/dev/null
echo "docs/gallery: $(ls docs/gallery | wc -l) pictures"
echo "docs/screenshots: $(ls docs/screenshots | tr '\n' ' ')"
