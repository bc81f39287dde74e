#!/bin/sh
# Regenerates the installer's pictures, docs/screenshots/setup-*.png: the
# main window and every dialog of the chain, from the build's installation
# disk in a throwaway Wine prefix with a 1024x768 virtual desktop (Wine draws
# the frames). The chain test driver plays the user and asks for each
# picture; ImageMagick's import takes it.
set -e
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja
cmake --build "$BUILD" --target disk chain_driver
if [ -z "$DISPLAY" ]; then
  # (the prefix named here only scopes display.sh's clean-up; the pictures
  # are taken in a throwaway prefix of chain_run.sh)
  export WINEPREFIX="$(pwd)/$BUILD/setup-tests/display"
  DISPLAY_BASE=${TEST_DISPLAY:-77}
  . scripts/display.sh
fi
CHAIN_SHOTS="$(pwd)/docs/screenshots" sh tests/setup/chain_run.sh shots "$BUILD" \
  "$BUILD/tests/chain_driver.exe" "$BUILD/disk"
echo "docs/screenshots: $(cd docs/screenshots && ls setup-*.png | tr '\n' ' ')"
