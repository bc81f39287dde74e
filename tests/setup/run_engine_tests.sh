#!/bin/sh
# run_engine_tests.sh <platform|system> <engine_system_test.exe>
# Runs the engine's system tests in a throwaway Wine prefix (a copy of the
# build's), prepared for the mode:
#   platform  the Windows version is set in Wine's registry to each of the
#             platforms in turn, and Platform() is checked against it;
#   system    Q: is mapped to a folder holding \lumora\plugins and R: to a
#             256 KB tmpfs (a full disk); every other engine test runs.
# Run from the build folder (CTest does).
set -e
mode=${1:?usage: run_engine_tests.sh <platform|system> <exe>}
exe=${2:?usage: run_engine_tests.sh <platform|system> <exe>}
build=$(pwd)
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../cmake/wine-run.sh"
base=${WINEPREFIX:-$build/wineprefix}
[ -f "$base/system.reg" ] || WINEPREFIX="$base" sh "$wine_run" cmd /c exit 0 >/dev/null 2>&1 || true

scratch="$build/tests/setup/prefix-$mode"
tiny="$scratch-tiny"
cleanup() {
  WINEPREFIX="$scratch" wineserver -k 2>/dev/null || true
  if mountpoint -q "$tiny" 2>/dev/null; then umount "$tiny"; fi
  rm -rf "$scratch" "$tiny"
}
cleanup
trap cleanup EXIT INT TERM
cp -a "$base" "$scratch"
export WINEPREFIX="$scratch"

run() { sh "$wine_run" "$exe" "$@"; }

case $mode in
platform)
  status=0
  for pair in win95:4 nt351:2 win31:8 winxp:2; do
    version=${pair%%:*}
    sh "$wine_run" reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
    echo "== Windows version $version"
    ENGINE_EXPECT_PLATFORM=${pair#*:} run --gtest_filter='Platform.*' || status=1
  done
  exit $status
  ;;
system)
  mkdir -p "$scratch/q/lumora/plugins"
  echo old > "$scratch/q/lumora/plugins/old.lmf"
  ln -s "$scratch/q" "$scratch/dosdevices/q:"
  mkdir -p "$tiny"
  if mount -t tmpfs -o size=256k tmpfs "$tiny" 2>/dev/null; then
    ln -s "$tiny" "$scratch/dosdevices/r:"
    export ENGINE_TINY_KB=256
  else
    echo "note: cannot mount a tmpfs here; the full-disk tests are skipped"
  fi
  ENGINE_DRIVE_Q=1 run --gtest_filter='-Platform.*'
  ;;
*)
  echo "unknown mode $mode" >&2
  exit 2
  ;;
esac
