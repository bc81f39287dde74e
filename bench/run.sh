#!/bin/bash
# Benchmarks the image pass and the command line (bench/command_line.sh) and
# writes bench/RESULTS.md.
#   bash bench/run.sh [SIZE]       (default 4096: a SIZE x SIZE image)
# Needs a configured build (BUILD, default build); installs what it needs.
# Environment: ROUNDS (timed rounds per formula, default 3); BAND (rows that
# ImageMagick -fx gets); PAIRS (default 3): the pass on one thread and on
# all threads (alternating inside the program) and G'MIC on all threads run
# alternately PAIRS times, and each one's best rate is compared;
# TINCTOR_THREADS, when set, is the pass's "all threads";
# BEFORE=path/to/an/older/tinctor_bench.exe adds a before/after table: the
# older and the current program run alternately PAIRS times on the same
# image in the same machine state, and each formula's best one-thread rate
# of each side is compared.
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
BUILD=${BUILD:-build}
SIZE=${1:-4096}
ROUNDS=${ROUNDS:-3}
PAIRS=${PAIRS:-3}
BAND=${BAND:-256}  # rows of the image that ImageMagick -fx gets (it manages < 1 MP/s)
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja
cmake --build "$BUILD" --target tinctor_bench
WORK="$BUILD/bench"
mkdir -p "$WORK"
export WINEPREFIX="$(pwd)/$BUILD/wineprefix"

# One image for everybody: the sample photograph scaled to SIZE x SIZE.
convert assets/coffee.png -resize "${SIZE}x${SIZE}!" -depth 8 "$WORK/image.ppm"
convert "$WORK/image.ppm" -depth 8 "rgb:$WORK/image.rgb"
convert "$WORK/image.ppm" -crop "${SIZE}x${BAND}+0+0" +repage "$WORK/band.ppm"

echo "== the plug-in's pass, the reference evaluator, hand-written C++, the floor (under Wine)"
sh cmake/wine-run.sh "$BUILD/bench/tinctor_bench.exe" "$WORK/image.rgb" "$SIZE" "$SIZE" --rounds "$ROUNDS" \
  | tr -d '\r' | tee "$WORK/tinctor.txt"

# Before and after: pass rates only (the reference and hand-written passes
# are the same code on both sides), best of PAIRS alternating runs.
if [ -n "$BEFORE" ]; then
  echo "== before ($BEFORE) and after, $PAIRS alternating runs"
  : > "$WORK/pairs.txt"
  for i in $(seq "$PAIRS"); do
    for side in before after; do
      exe="$BUILD/bench/tinctor_bench.exe"; only=--passes-only
      [ "$side" = before ] && exe="$BEFORE" && only=
      # TINCTOR_THREADS=1: this build's process then runs one-thread passes
      # only, as the old build's does; no crew runs between them.
      TINCTOR_THREADS=1 sh cmake/wine-run.sh "$exe" "$WORK/image.rgb" "$SIZE" "$SIZE" --rounds "$ROUNDS" $only | tr -d '\r' \
        | awk -v side="$side" '$1 == "pass" || $1 == "floor" { print side, $0 }' | tee -a "$WORK/pairs.txt"
    done
  done
fi

now() { date +%s.%N; }
# seconds a command takes, best of two
timed() {
  local best=
  for i in 1 2; do
    local t0=$(now); "$@" >/dev/null 2>&1; local t1=$(now)
    local t=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}
# megapixels per second of a tool, its plain read and write subtracted
rate() {  # rate MP total plain
  echo "scale=3; d = $2 - $3; if (d < 0.001) d = 0.001; $1 / d" | bc -l
}

MP=$(echo "$SIZE * $SIZE / 1000000" | bc -l)
BMP=$(echo "$SIZE * $BAND / 1000000" | bc -l)
IM="convert -limit memory 4GiB -limit map 8GiB"
plain_im1=$(MAGICK_THREAD_LIMIT=1 timed $IM "$WORK/band.ppm" "$WORK/o.ppm")
plain_imN=$(timed $IM "$WORK/band.ppm" "$WORK/o.ppm")
plain_gm1=$(OMP_NUM_THREADS=1 timed gmic -input "$WORK/image.ppm" -output "$WORK/o.ppm")
plain_gmN=$(timed gmic -input "$WORK/image.ppm" -output "$WORK/o.ppm")

declare -A fx fill
fx[invert]='1-u';                     fill[invert]='255-i'
fx[gray]='(u.r+u.g+u.b)/3';           fill[gray]='(i0+i1+i2)/3'
fx[radial]='u*(1-2*hypot(i-w/2,j-h/2)/hypot(w,h))'
fill[radial]='i*(1-2*sqrt((x-w/2)^2+(y-h/2)^2)/sqrt(w^2+h^2))'
fx[waves]='0.5+0.25*sin(i*4*2*pi/1024)+0.25*cos(j*4*2*pi/1024)'
fill[waves]='128+128*sin(x*4*2*pi/1024)+128*cos(y*4*2*pi/1024)'
fx[blur]='(p[-1,-1]+p[0,-1]+p[1,-1]+p[-1,0]+p[0,0]+p[1,0]+p[-1,1]+p[0,1]+p[1,1])/9'
fill[blur]='(j(-1,-1)+j(0,-1)+j(1,-1)+j(-1,0)+i+j(1,0)+j(-1,1)+j(0,1)+j(1,1))/9'
fx[noise]='u-random()*101/255';       fill[noise]='max(i-round(u(0,101)),c)'
fx[shift]='p[16,8]';                  fill[shift]='j(16,8)'

echo "== ImageMagick -fx (on ${SIZE}x${BAND}) and G'MIC -fill (on ${SIZE}x${SIZE}), natively"
: > "$WORK/tools.txt"
for name in invert gray radial waves blur noise shift; do
  im1=$(MAGICK_THREAD_LIMIT=1 timed $IM "$WORK/band.ppm" -fx "${fx[$name]}" "$WORK/o.ppm")
  imN=$(timed $IM "$WORK/band.ppm" -fx "${fx[$name]}" "$WORK/o.ppm")
  gm1=$(OMP_NUM_THREADS=1 timed gmic -input "$WORK/image.ppm" -fill "${fill[$name]}" -output "$WORK/o.ppm")
  gmN=$(timed gmic -input "$WORK/image.ppm" -fill "${fill[$name]}" -output "$WORK/o.ppm")
  line="$name $(rate "$BMP" "$im1" "$plain_im1") $(rate "$BMP" "$imN" "$plain_imN") $(rate "$MP" "$gm1" "$plain_gm1") $(rate "$MP" "$gmN" "$plain_gmN")"
  echo "$line" | tee -a "$WORK/tools.txt"
done

# Every core: the pass on one and on all threads (alternating inside the
# program) and G'MIC on all threads, alternately, PAIRS times.
echo "== every core: the pass on one and on all threads, and G'MIC on all threads, $PAIRS alternating runs"
: > "$WORK/cores.txt"
for i in $(seq "$PAIRS"); do
  sh cmake/wine-run.sh "$BUILD/bench/tinctor_bench.exe" "$WORK/image.rgb" "$SIZE" "$SIZE" --rounds "$ROUNDS" \
    --passes-only | tr -d '\r' | awk '$1 == "pass" || $1 == "threads" { print $1, $2, $3 }' | tee -a "$WORK/cores.txt"
  for name in invert gray radial waves blur noise shift; do
    gmN=$(timed gmic -input "$WORK/image.ppm" -fill "${fill[$name]}" -output "$WORK/o.ppm")
    echo "gmic $name $(rate "$MP" "$gmN" "$plain_gmN")" | tee -a "$WORK/cores.txt"
  done
done

# ---- the command line: whole lumora fx commands against -fx and G'MIC ----
. bench/command_line.sh
command_line_bench "$WORK/tinctor.txt"

# ---- RESULTS.md ----
val() { awk -v k="$1" -v n="$2" '$1 == k && $2 == n { print $3 }' "$WORK/tinctor.txt"; }
floor=$(awk '$1 == "floor" { print $2 }' "$WORK/tinctor.txt")
{
  echo "# Benchmark results"
  echo
  echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/ {print $2}') GiB."
  echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC'). Wine $(wine --version 2>/dev/null), ImageMagick $(dpkg-query -W -f='${Version}' imagemagick-6.q16), G'MIC $(dpkg-query -W -f='${Version}' gmic)."
  echo "Command: \`${BEFORE:+BEFORE=$BEFORE }PAIRS=$PAIRS BAND=$BAND ROUNDS=$ROUNDS bash bench/run.sh $SIZE\` (image: assets/coffee.png scaled to ${SIZE} x ${SIZE}, 3 planes)."
  echo
  echo "Megapixels per second (higher is better). The plug-in's pass, the reference evaluator and the"
  echo "hand-written C++ run under Wine in one 32-bit program; ImageMagick and G'MIC run natively (64-bit),"
  echo "with the time of a plain read and write of the same file subtracted. ImageMagick -fx gets the top"
  echo "${BAND} rows only (its rate does not depend on the image size, and the whole image would take"
  echo "minutes per formula); everything else gets the whole image. Floor of the design: a loop that"
  echo "calls a minimal routine (255 minus its channel value, cdecl, state block as argument) once per"
  echo "pixel and channel: **$floor** MP/s."
  echo
  echo "| formula | pass | reference | hand C++ | IM -fx 1 thr | IM -fx all | G'MIC 1 thr | G'MIC all | pass / floor | pass / IM 1 | pass / G'MIC 1 | pass / G'MIC all |"
  echo "|---|---|---|---|---|---|---|---|---|---|---|---|"
  while read -r name im1 imN gm1 gmN; do
    p=$(val pass "$name"); r=$(val ref "$name"); h=$(val hand "$name")
    f=$(grep "^formula $name " "$WORK/tinctor.txt" | cut -d'|' -f2 | sed 's/^ //')
    printf '| `%s` | %s | %s | %s | %s | %s | %s | %s | %.2f | %.0f | %.1f | %.1f |\n' "$f" "$p" "$r" "$h" \
      "$im1" "$imN" "$gm1" "$gmN" "$(echo "$p / $floor" | bc -l)" "$(echo "$p / $im1" | bc -l)" \
      "$(echo "$p / $gm1" | bc -l)" "$(echo "$p / $gmN" | bc -l)"
  done < "$WORK/tools.txt"
  echo
  echo "Reference evaluator output identical to the pass's: $(grep -c '^ref .* same$' "$WORK/tinctor.txt") of $(grep -c '^ref ' "$WORK/tinctor.txt") formulas."
  echo
  echo "Memory the pass takes beyond the host's buffers (growth of private bytes over the timed runs):"
  echo "$(awk '$1 == "memory" { printf "%s %s bytes; ", $2, $3 }' "$WORK/tinctor.txt")"
  echo
  echo "Compile time, each line four formulas compiled once (with loading the FUNC and OPER resources each time):"
  echo
  grep '^compile' "$WORK/tinctor.txt" | cut -d' ' -f2- | sed 's/^/- /'
  echo
  echo "The engine's own loop around the minimal routine (as machine code in the code buffers):"
  echo "$(awk '$1 == "engine-loop" { print $2 }' "$WORK/tinctor.txt") MP/s."
  echo
  echo "## Every core"
  echo
  echo "A pass whose running formulas never put is shared by a crew of threads, in bands of ten rows (the"
  echo "host is asked between bands, on its own thread), each thread on its own copy of the pixel context;"
  echo "rnd starts each piece from the generator jumped ahead, so every byte equals the one-thread pass."
  echo "The pass on one thread (TINCTOR_THREADS=1) and on all ${TINCTOR_THREADS:-$(nproc)} threads alternate inside each"
  echo "run, and G'MIC on all threads runs between those runs; $PAIRS runs, best rate of each in MP/s."
  echo "Identical output on all threads: $(awk '$1 == "threads" && $4 == "same"' "$WORK/tinctor.txt" | wc -l) of $(grep -c '^threads ' "$WORK/tinctor.txt") formulas."
  echo
  read -r _ crewN crewStart crewBand crewEnd < <(awk '$1 == "crew" { print $1, $2, $4, $6, $8 }' "$WORK/tinctor.txt")
  echo "What sharing costs the calling thread (microseconds, a crew of $crewN): starting the crew $crewStart, a band"
  echo "in which every member checks in $crewBand, ending the crew $crewEnd. From these and the one-thread time"
  echo "T1: the serial part of a pass is its first row (T1 / $SIZE), starting and ending the crew, and one band"
  echo "wake-up per ten rows; p is the rest's share of T1, and on 16 cores Amdahl gives 1 / ((1 - p) + p / 16)."
  echo
  echo "| formula | pass 1 thr | pass all thr | all / 1 | G'MIC all thr | pass all / G'MIC all | p | 16 cores, MP/s |"
  echo "|---|---|---|---|---|---|---|---|"
  for name in invert gray radial waves blur noise shift; do
    best() { awk -v k="$1" -v n="$name" '$1 == k && $2 == n && $3 > b { b = $3 } END { print b + 0 }' "$WORK/cores.txt"; }
    p1=$(best pass); pN=$(best threads); gN=$(best gmic)
    f=$(grep "^formula $name " "$WORK/tinctor.txt" | cut -d'|' -f2 | sed 's/^ //')
    awk -v f="$f" -v p1="$p1" -v pN="$pN" -v gN="$gN" -v mp="$MP" -v size="$SIZE" \
        -v s="$crewStart" -v b="$crewBand" -v e="$crewEnd" 'BEGIN {
      t1 = mp / p1; serial = t1 / size + (s + e) / 1e6 + int((size + 9) / 10) * b / 1e6
      p = 1 - serial / t1; if (p < 0) p = 0; s16 = 1 / ((1 - p) + p / 16)
      printf "| `%s` | %.2f | %.2f | %.2f | %.2f | %.2f | %.4f | %.0f |\n", f, p1, pN, pN / p1, gN, pN / gN, p, p1 * s16 }'
  done
  if [ -n "$BEFORE" ]; then
    echo
    echo "## Before and after"
    echo
    echo "The pass on one thread of \`$BEFORE\` (before) and of this build (after, TINCTOR_THREADS=1), run"
    echo "alternately $PAIRS times each on the same image right after the table above; best rate of each side"
    echo "in MP/s, and the floor of the design measured by each run (best of its runs)."
    echo
    echo "| formula | before | after | after / before |"
    echo "|---|---|---|---|"
    awk '
      $2 == "floor" { if ($3 > fl[$1]) fl[$1] = $3; next }
      { k = $3; if (!(k in order)) { order[k] = n++; names[n - 1] = k }
        if ($4 > best[$1 "," k]) best[$1 "," k] = $4 }
      END {
        for (i = 0; i < n; i++) { k = names[i]; b = best["before," k]; a = best["after," k]
          printf "| %s | %.2f | %.2f | %.2f |\n", k, b, a, a / b }
        printf "| (floor) | %.2f | %.2f | %.2f |\n", fl["before"], fl["after"], fl["after"] / fl["before"]
      }' "$WORK/pairs.txt"
  fi
} > bench/RESULTS.md.new
{ echo; command_line_section; } >> bench/RESULTS.md.new
if [ -f bench/NOTES.md ]; then cat bench/NOTES.md >> bench/RESULTS.md.new; fi
mv bench/RESULTS.md.new bench/RESULTS.md
echo "== Written: bench/RESULTS.md"
