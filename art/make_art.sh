#!/bin/sh
# Draws the installer's bitmaps into the folder given as $1.
#
# Textures are 8-bit DIBs with a full 256-entry colour table: a periodic
# grey pattern (so the tiles join without seams) is coloured through a
# 256-colour ramp and remapped onto that same ramp, which keeps every entry.
# The picture buttons use magenta (255,0,255) as their transparent colour,
# the check box white.  Only ImageMagick and one bundled font file are used,
# so the same tools give the same bytes.
set -e
out=${1:?usage: make_art.sh <output folder>}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
IM=${CONVERT:-convert}
FONT=${ART_FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}
BMP8="-type Palette -compress none -define bmp:format=bmp3"

# ramp <name> <fx red> <fx green> <fx blue> of the index i: 256x1; one channel is i/255 so
# that every entry differs from the others.
ramp() {
  $IM -size 256x1 xc:black -channel R -fx "$2" -channel G -fx "$3" -channel B -fx "$4" +channel \
      -depth 8 "$tmp/$1.ppm"
}

# texture <name> <ramp> <fx pattern in 0..1, periodic over 128 pixels>
texture() {
  $IM -size 128x128 xc:black -fx "$3" "$tmp/$2.ppm" -interpolate Integer -clut +dither \
      -remap "$tmp/$2.ppm" $BMP8 "BMP3:$out/$1.bmp"
}

ramp blue "0.02+0.30*(i/255)^2" "0.05+0.50*(i/255)^1.5" "i/255"
ramp swirl "0.06+0.50*(i/255)^1.4" "0.02+0.22*(i/255)^2" "i/255"
P="2*pi/128"
texture BlueTex blue "0.5+0.22*sin($P*(2*i+0.8*128/(2*pi)*sin($P*3*j)))+0.22*sin($P*(3*j+0.6*128/(2*pi)*cos($P*2*i)))"
texture OBSwirl swirl "0.5+0.45*sin($P*(i+j)+2.2*sin($P*i)*cos($P*j)+1.4*cos($P*(i-j)))*cos($P*(2*j)-1.1*sin($P*2*i))"

# pal8 <in> <out>: an 8-bit BMP whose 256-entry table holds the picture's
# colours followed by unused fillers (distinct, so remapping keeps them all).
pal8() {
  n=$($IM "$1" -unique-colors -format %w info:)
  $IM "$1" -unique-colors \( -size $((256 - n))x1 xc:"rgb(1,2,0)" -channel B -fx "i/255" +channel \) \
      +append -depth 8 "$tmp/pal.ppm"
  $IM "$1" +dither -remap "$tmp/pal.ppm" $BMP8 "BMP3:$2"
}

# segments <x,y>...: the line commands of an open stroke (a polyline would be
# filled).
segments() {
  prev=$1
  shift
  for p in "$@"; do
    printf ' line %s %s' "$prev" "$p"
    prev=$p
  done
}

# Button faces: frame 0 up, frame 1 pressed (shifted by 2 and darker).
# faces <name> <frame w> <h> <draw commands>
faces() {
  name=$1 w=$2 h=$3
  shift 3
  $IM -size ${w}x${h} xc:magenta +antialias "$@" "$tmp/up.png"
  $IM "$tmp/up.png" -transparent magenta "$tmp/upt.png"
  $IM -size ${w}x${h} xc:magenta \( "$tmp/upt.png" -fill "rgb(0,0,0)" -colorize 25% \) \
      -geometry +2+2 -composite "$tmp/down.png"
  $IM "$tmp/up.png" "$tmp/down.png" +append "$tmp/$name.png"
}

# The warning picture: an amber triangle with an exclamation mark.
faces Alert 80 86 \
  -fill "rgb(90,60,0)" -draw "polygon 42,10 76,76 8,76" \
  -fill "rgb(250,190,40)" -draw "polygon 40,6 74,72 6,72" \
  -fill "rgb(255,230,120)" -draw "polygon 40,14 66,66 14,66" \
  -fill "rgb(40,20,0)" -draw "polygon 36,26 44,26 42,52 38,52" -draw "circle 40,60 40,64"
# The question picture: a blue disc with a question mark.
faces Question 80 86 \
  -fill "rgb(10,20,70)" -draw "circle 42,45 42,80" \
  -fill "rgb(40,90,200)" -draw "circle 40,43 40,78" \
  -fill "rgb(110,160,240)" -draw "circle 40,43 40,72" \
  -stroke white -strokewidth 7 -draw "$(segments 29,34 29,28 33,23 40,21 47,23 51,28 51,33 47,38 40,42 40,52)" \
  -stroke none -fill white -draw "circle 40,64 40,68"
# The bullet: a small gem.
faces bullet 24 24 \
  -fill "rgb(20,40,20)" -draw "circle 13,13 13,23" \
  -fill "rgb(60,170,80)" -draw "circle 12,12 12,21" \
  -fill "rgb(170,240,170)" -draw "circle 9,9 9,12"
for n in Alert Question bullet; do
  pal8 "$tmp/$n.png" "$out/$n.bmp"
done

# Shadow-button faces: one image each, 16 colours.
face16() {
  name=$1 w=$2 h=$3 fill=$4 light=$5 text=$6 size=$7
  $IM -size ${w}x${h} xc:magenta +antialias \
      -fill "$fill" -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) 6,6" \
      -fill "$light" -draw "roundrectangle 2,2 $((w - 3)),$((h / 2)) 4,4" \
      -fill "$fill" -draw "rectangle 2,$((h / 2 - 3)) $((w - 3)),$((h / 2))" \
      -font "$FONT" -pointsize "$size" -fill white -gravity center -annotate +0+0 "$text" \
      +dither -colors 16 -type Palette -compress none -define bmp:format=bmp3 "BMP3:$out/$name.bmp"
}
face16 OKButton 54 32 "rgb(20,110,40)" "rgb(60,170,80)" OK 16
face16 CancelButton 78 20 "rgb(150,30,30)" "rgb(200,80,70)" Cancel 12

# The check box: six 30x22 frames on white, 0 empty, 1-4 the tick being
# drawn, 5 the finished tick.  The frame is drawn at (4, m - 11) over the box
# (7, m - 6)-(19, m + 6), whose inside is x 5..13, y 7..15 of the frame: the
# tick stays in there, clear of the label that starts at x 18.
set --
for f in 0 1 2 3 4 5; do
  tick=""
  case $f in
    1) tick=$(segments 6,10 7,12) ;;
    2) tick=$(segments 6,10 8,13) ;;
    3) tick=$(segments 6,10 8,13 10,10) ;;
    4) tick=$(segments 6,10 8,13 11,9) ;;
    5) tick=$(segments 6,10 8,13 12,7) ;;
  esac
  if [ -n "$tick" ]; then
    $IM -size 30x22 xc:white +antialias -stroke "rgb(0,0,0)" -strokewidth 2 -draw "$tick" \
        -stroke "rgb(200,20,20)" -strokewidth 1 -draw "$tick" "$tmp/cb$f.png"
  else
    $IM -size 30x22 xc:white "$tmp/cb$f.png"
  fi
  set -- "$@" "$tmp/cb$f.png"
done
$IM "$@" +append "$tmp/CheckBox.png"
pal8 "$tmp/CheckBox.png" "$out/CheckBox.bmp"
