# Sourced by the scripts: starts a private Xvfb display and points DISPLAY at
# it, before the first Wine process of the run (a wineserver started without
# a display makes every later window creation in the prefix fail). Needs
# WINEPREFIX; DISPLAY_BASE is the first display number to try. Stops Xvfb
# and the wineserver when the sourcing script exits.
WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
num=${DISPLAY_BASE:-77}
while [ -e "/tmp/.X${num}-lock" ]; do num=$((num + 1)); done
Xvfb ":$num" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
# Under `set -e` a failing command would end the trap early (and leave Xvfb
# running): the prefix's server may already have gone by the time it runs.
trap 'WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT INT TERM
export DISPLAY=":$num"
i=0; while [ ! -e "/tmp/.X11-unix/X$num" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
