#!/bin/sh
# lumora apply draws its progress bar only when standard error is a terminal:
# under a pseudo-terminal the bar reaches 100%, into a file there is none.
# Run through the launcher build/lumora, which lets no message of Wine's through.
# The terminal is Python's pty.spawn, which keeps copying the program's output
# when our own standard input is closed or empty (as under CI). Arguments: the repository root, the build folder.
set -e
root=$1
build=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
apply="$build/lumora apply --plugins $build/hosttest \
  --filter LumoraTest --repeat $root/assets/coffee.png $out/x.png"

python3 -c 'import pty, sys; pty.spawn(["sh", "-c", sys.argv[1]])' "$apply" < /dev/null | sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g' | tr -d '\r' > "$out/tty.txt"
if ! grep -q '100%' "$out/tty.txt"; then
  echo "FAIL: no progress bar on a terminal:"; cat "$out/tty.txt"; exit 1
fi
$apply > "$out/stdout.txt" 2> "$out/stderr.txt"
if [ -s "$out/stderr.txt" ]; then
  echo "FAIL: a progress bar or Wine's messages into a file:"; cat "$out/stderr.txt"; exit 1
fi
grep -q 'filtered with' "$out/stdout.txt"
echo "progress bar on the terminal only: ok"
