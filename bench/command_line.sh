#!/bin/bash
# The command line against -fx and G'MIC: whole commands on one image file,
# reading and writing it included, as a user waits for them. The formulas are
# those of the pass table (tinctor_bench's "formula" lines, from
# bench/formulas.cpp) with its slider values, and those of its tool columns
# (the arrays fx and fill of bench/run.sh).
#   bash bench/run.sh              measures everything, this table included
#   bash bench/command_line.sh     measures this table only and puts it into
#                                  bench/RESULTS.md in place of the old one
#   CMD_SIZE   side of the square test image (default 1024)
#   CMD_ROUNDS runs per command, the best counts (default 5; a command that
#              takes more than 5 s runs once)

# seconds of the best of CMD_ROUNDS runs of a command
whole_command() {
  local best= t0 t1 t
  for i in $(seq "${CMD_ROUNDS:-5}"); do
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; echo 0; return; }
    t1=$(date +%s.%N); t=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
    [ "$(echo "$t > 5" | bc -l)" = 1 ] && break
  done
  printf '%.2f\n' "$best"
}

# Measures into $WORK/commands.txt: name, tinctor formula, lumora, -fx, G'MIC
# (seconds). $1: tinctor_bench's output, for the formulas.
command_line_bench() {
  local size=${CMD_SIZE:-1024} im
  im=$(command -v magick || command -v convert)
  cmake --build "$BUILD" --target lumora TinctorEditor
  convert assets/coffee.png -resize "${size}x${size}!" -depth 8 "$WORK/cmd.png"
  "$BUILD/lumora" fx c "$WORK/cmd.png" "$WORK/cmd-out.png" --quiet  # Wine's prefix and server up
  echo "== whole commands on a ${size}x${size} PNG: lumora fx, $(basename "$im") -fx, gmic -fill"
  : > "$WORK/commands.txt"
  for name in $(awk '$1 == "formula" { print $2 }' "$1"); do
    local f lumora tool gmic
    f=$(grep "^formula $name " "$1" | cut -d'|' -f2 | sed 's/^ //')
    lumora=$(whole_command "$BUILD/lumora" fx "$f" --slider 0=101 --slider 1=128 --quiet \
      "$WORK/cmd.png" "$WORK/cmd-out.png")
    tool=$(whole_command "$im" "$WORK/cmd.png" -fx "${fx[$name]}" "$WORK/cmd-out.png")
    gmic=$(whole_command gmic -input "$WORK/cmd.png" -fill "${fill[$name]}" -output "$WORK/cmd-out.png")
    echo "$name|$f|$lumora|$tool|$gmic" | tee -a "$WORK/commands.txt"
  done
  local plain_im plain_gm plain_lumora
  plain_lumora=$(whole_command "$BUILD/lumora" fx c --quiet "$WORK/cmd.png" "$WORK/cmd-out.png")
  plain_im=$(whole_command "$im" "$WORK/cmd.png" "$WORK/cmd-out.png")
  plain_gm=$(whole_command gmic -input "$WORK/cmd.png" -output "$WORK/cmd-out.png")
  echo "copy|c (a plain copy)|$plain_lumora|$plain_im|$plain_gm" | tee -a "$WORK/commands.txt"
}

# The section of RESULTS.md, from $WORK/commands.txt.
command_line_section() {
  local size=${CMD_SIZE:-1024} tool=$(basename "$(command -v magick || command -v convert)")
  echo "## The command line: lumora fx against $tool -fx and G'MIC"
  echo
  echo "Whole commands on one ${size} x ${size} PNG file (assets/coffee.png scaled), reading and writing it"
  echo "included: what a user waits for. Seconds, best of ${CMD_ROUNDS:-5} runs (a command over 5 s runs once);"
  echo "\`lumora fx\` runs through the launcher \`build/lumora\`, so Wine's start is in its time; the tools run"
  echo "natively with all their threads. The last row copies the file unchanged (\`fx c\`, a plain read and"
  echo "write): the part of every command that is not the formula. For lumora that part is nearly all of"
  echo "it, Wine's start and the PNG codec; the pass itself (the table above) takes hundredths of a second"
  echo "for a megapixel. Commands: \`build/lumora fx F --slider 0=101"
  echo "--slider 1=128 --quiet in.png out.png\`, \`$tool in.png -fx F out.png\`, \`gmic -input in.png"
  echo "-fill F -output out.png\`."
  echo
  echo "| formula | lumora fx | $tool -fx | gmic -fill | -fx / fx | gmic / fx |"
  echo "|---|---|---|---|---|---|"
  while IFS='|' read -r name f lumora magick gmic; do
    printf '| `%s` | %s | %s | %s | %.1f | %.1f |\n' "$f" "$lumora" "$magick" "$gmic" \
      "$(echo "$magick / $lumora" | bc -l)" "$(echo "$gmic / $lumora" | bc -l)"
  done < "$WORK/commands.txt"
}

# Run on its own: the formulas from tinctor_bench on a tiny image, the tool
# formulas from run.sh, and the section spliced into RESULTS.md.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -e
  cd "$(dirname "$0")/.."
  BUILD=${BUILD:-build}
  WORK="$BUILD/bench"
  mkdir -p "$WORK"
  export WINEPREFIX="$(pwd)/$BUILD/wineprefix"
  eval "$(sed -n '/^declare -A fx fill/,/^fx\[shift\]/p' bench/run.sh)"
  cmake --build "$BUILD" --target tinctor_bench
  convert assets/coffee.png -resize '8x8!' -depth 8 "rgb:$WORK/tiny.rgb"
  sh cmake/wine-run.sh "$BUILD/bench/tinctor_bench.exe" "$WORK/tiny.rgb" 8 8 --rounds 1 | tr -d '\r' \
    | grep '^formula ' > "$WORK/formulas.txt"
  command_line_bench "$WORK/formulas.txt"
  command_line_section > "$WORK/commands.md"
  awk -v section="$WORK/commands.md" '
    function put() { while ((getline line < section) > 0) print line; print ""; done = 1 }
    /^## The command line/ { skip = 1; put(); next }
    /^## / && skip { skip = 0 }
    /^## Targets/ && !done { put() }
    !skip { print }
    END { if (!done) { print ""; put() } }' bench/RESULTS.md > bench/RESULTS.md.new
  mv bench/RESULTS.md.new bench/RESULTS.md
  echo "== Written: the command-line table in bench/RESULTS.md"
fi
