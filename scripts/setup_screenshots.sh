#!/bin/sh
# Regenerates the installer's pictures, docs/screenshots/setup-*.png: the
# main window and every dialog of the chain, from the build's installation
# disk in a throwaway Wine prefix with a 1024x768 virtual desktop (Wine draws
# the frames). The walk scripts/shots/setup_shots.cpp plays the user and asks
# for each picture; this script's picture taker (--take) takes it with
# ImageMagick's import.
set -e
cd "$(dirname "$0")/.."
if [ "$1" = --take ]; then
  # Answers the walk's requests in $CHAIN_WORK: <name>.req holds the caption
  # of the window to take (empty: the whole screen); <name>.done follows once
  # $CHAIN_SHOTS/setup-<name>.png is written. The window's place comes from
  # the X server (Wine gives each window of the virtual desktop an X window of
  # its own), so the picture is where the window really is.
  while [ -d "$CHAIN_WORK" ]; do
    for req in "$CHAIN_WORK"/*.req; do
      [ -e "$req" ] || continue
      name=$(basename "$req" .req)
      read -r caption <"$req" || caption=""
      out="$CHAIN_SHOTS/setup-$name.png"
      if [ -n "$caption" ]; then
        geometry=$(xwininfo -root -tree | grep -F "\"$caption\": (\"setup.exe\"" | head -1 |
          sed -n 's/.*  \([0-9]*x[0-9]*+-*[0-9]*+-*[0-9]*\)  .*/\1/p')
        import -window root "$CHAIN_WORK/root.png"
        convert "$CHAIN_WORK/root.png" -crop "$geometry" +repage "$out"
      else
        import -window root -crop 1024x768+0+0 +repage "$out"
      fi
      rm "$req"
      touch "$CHAIN_WORK/$name.done"
    done
    sleep 0.1
  done
  exit 0
fi
BUILD=${BUILD:-build}
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja
cmake --build "$BUILD" --target disk setup_shots
if [ -z "$DISPLAY" ]; then
  # (the prefix named here only scopes display.sh's clean-up; the pictures
  # are taken in a throwaway prefix of chain_run.sh)
  export WINEPREFIX="$(pwd)/$BUILD/setup-tests/display"
  DISPLAY_BASE=${TEST_DISPLAY:-77}
  . scripts/display.sh
fi
mkdir -p docs/screenshots
CHAIN_SHOTS="$(pwd)/docs/screenshots" CHAIN_SHOT_TAKER="$(pwd)/scripts/setup_screenshots.sh" \
  sh tests/setup/chain_run.sh shots "$BUILD" "$BUILD/scripts/shots/setup_shots.exe" "$BUILD/disk"
echo "docs/screenshots: $(cd docs/screenshots && ls setup-*.png | tr '\n' ' ')"
