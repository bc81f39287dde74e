#!/bin/sh
# chain_run.sh <scenario> <build dir> <driver.exe> <disk dir> [host.exe]
#
# Runs one scenario of the installer's chain tests in a Wine prefix of its
# own: a copy of a template prefix (made once per build folder, with a
# 1024x768 virtual desktop so that Wine draws every window itself). The
# system directory's libraries are hard-linked, being large and never
# written, except the runtime the installer may replace; everything else is
# copied. The disk is
# copied beside it, and the expected files are expanded from the disk's SZDD
# files with mscompress's own expander, independent of the installer's LZ
# library. The driver (a GoogleTest program, or the screenshot walk for the
# scenario "shots") runs the installer and plays the user; everything is
# removed afterwards. All of it lives in the build folder
# (a /tmp of its own would refuse the links; so may others: then it copies).
set -e
scenario=${1:?usage: chain_run.sh <scenario> <build dir> <driver.exe> <disk dir> [host.exe]}
build=$(cd "$2" && pwd)
driver=$3
disk=$4
host=$5
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

template="$build/setup-tests/template"
if [ ! -f "$template/.ready" ]; then
  rm -rf "$template"
  mkdir -p "$template"
  WINEPREFIX="$template" WINEARCH=win32 wineboot -i >/dev/null 2>&1
  WINEPREFIX="$template" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  WINEPREFIX="$template" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
    >/dev/null 2>&1
  WINEPREFIX="$template" wineserver -w
  touch "$template/.ready"
fi

work=$(mktemp -d "$build/setup-tests/chain.XXXXXX")
export WINEPREFIX="$work/prefix"
watcher=""
cleanup() {
  [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
  wineserver -k 2>/dev/null || true
  if mountpoint -q "$work/tiny" 2>/dev/null; then umount "$work/tiny"; fi
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
sys32=drive_c/windows/system32
mkdir -p "$WINEPREFIX"
(cd "$template" && tar --exclude="./$sys32" -cf - .) | (cd "$WINEPREFIX" && tar -xf -)
cp -al "$template/$sys32" "$WINEPREFIX/$sys32" 2>/dev/null ||
  { rm -rf "${WINEPREFIX:?}/$sys32" && cp -a "$template/$sys32" "$WINEPREFIX/$sys32"; }
for f in "$WINEPREFIX/$sys32"/msvcrt20.dll "$WINEPREFIX/$sys32"/*.ini; do
  [ -e "$f" ] && cp --remove-destination "$template/$sys32/$(basename "$f")" "$f"
done

mkdir "$work/disk" "$work/expected"
cp "$disk"/* "$work/disk/"
if [ "$scenario" = cancel ]; then
  # Every plug-in file is one library of 32 MB (made once per build folder),
  # so that the copy lasts seconds, however late the driver clicks Cancel.
  big="$build/setup-tests/big-32m"
  if [ ! -f "$big/ready" ]; then
    rm -rf "$big" && mkdir -p "$big"
    head -c 32000000 /dev/urandom >"$big/file"
    (cd "$big" && mscompress file >/dev/null && touch ready)
  fi
  for f in "$work/disk"/pk*._*; do
    base=$(basename "$f")
    ln -f "$big/file_" "$f" 2>/dev/null || cp "$big/file_" "$f"
    ln "$big/file" "$work/expected/$base" 2>/dev/null || cp "$big/file" "$work/expected/$base"
  done
fi
if [ "$scenario" = install ]; then  # the system's runtime is the newer by date
  touch -d 1995-01-01 "$work/disk/msvcrt20._ll" && touch -d 2000-01-01 "$WINEPREFIX/$sys32/msvcrt20.dll"
fi
if [ "$scenario" = missing ]; then
  rm "$work/disk/pkfilt05._mf"
fi
if [ "$scenario" = badpath ]; then
  # R: is a drive too small for the package, where mounting is allowed.
  mkdir "$work/tiny"
  mount -t tmpfs -o size=256k tmpfs "$work/tiny" 2>/dev/null && export CHAIN_TINY_DRIVE=r &&
    ln -s "$work/tiny" "$WINEPREFIX/dosdevices/r:"
fi
for f in "$work/disk"/*._*; do
  base=$(basename "$f")
  [ -e "$work/expected/$base" ] && continue
  msexpand <"$f" >"$work/expected/$base"
done

export CHAIN_WORK="$work"
status=0
if [ "$scenario" = shots ]; then
  # The screenshot walk of scripts/setup_screenshots.sh, with that script's
  # picture taker beside it.
  sh "${CHAIN_SHOT_TAKER:?the screenshot walk needs its picture taker}" --take &
  watcher=$!
  wine "$driver" || status=$?
else
  wine "$driver" --gtest_filter="Chain_${scenario}.*" || status=$?
fi

# The host finds the ten filters in the plug-in directory the installer chose.
if [ $status -eq 0 ] && [ -n "$host" ] && [ -f "$work/plugin_dir.txt" ]; then
  dir=$(cat "$work/plugin_dir.txt")
  wine "$host" list --plugins "$dir" >"$work/list.txt" 2>&1 || true
  listed=$(grep -ci 'pkfilt[0-9][0-9]\.lmf' "$work/list.txt" || true)
  echo "host lists $listed of the 10 filters in $dir"
  [ "$listed" -eq 10 ] || cat "$work/list.txt"
  [ "$listed" -eq 10 ] || status=1
fi
exit $status
