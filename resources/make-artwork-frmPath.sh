#!/bin/sh
# Draws the picture buttons of the copy-from-media window with ImageMagick, in the look of
# make-artwork.sh (rounded blue tile, white glyph, on the button face colour).  The generated
# files are kept in the repository; run this again after changing a drawing:
#   resources/make-artwork-frmPath.sh
set -eu
cd "$(dirname "$0")"
mkdir -p buttons

BLUE_TOP='#3b7dc4'
BLUE_BOTTOM='#1f4e85'
GOLD='#ffd766'

# tile SIZE OUT: a rounded square with a vertical gradient and a thin dark edge.
tile() {
  size=$1 out=$2
  r=$((size / 6))
  last=$((size - 1))
  convert -size "${size}x${size}" "gradient:${BLUE_TOP}-${BLUE_BOTTOM}" \
    \( -size "${size}x${size}" xc:none -fill white \
       -draw "roundrectangle 0,0 ${last},${last} ${r},${r}" \) \
    -compose DstIn -composite \
    -fill none -stroke '#10304f' -strokewidth 1 \
    -draw "roundrectangle 0,0 ${last},${last} ${r},${r}" \
    "PNG32:${out}"
}

# glyph IN OUT COLOUR DRAW...: draws on a tile with the given pen.
glyph() {
  in=$1 out=$2 colour=$3
  shift 3
  convert "$in" -fill "$colour" -stroke "$colour" "$@" "PNG32:$out"
}

flat() {
  convert "$1" -background '#f0f0f0' -alpha remove -type TrueColor "BMP3:${1%.png}.bmp" && rm "$1"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
tile 40 "$tmp/b40.png"

# Copy: a memory card, an arrow, and a folder.
glyph "$tmp/b40.png" buttons/path_copy.png white -strokewidth 1 \
  -draw "polygon 5,8 13,8 16,11 16,24 5,24" \
  -fill "$BLUE_BOTTOM" -stroke "$BLUE_BOTTOM" -draw "rectangle 8,11 9,15" \
  -draw "rectangle 11,11 12,15" \
  -fill white -stroke white -strokewidth 2 -draw "line 17,20 25,20" \
  -stroke none -draw "polygon 25,16 30,20 25,24" \
  -fill "$GOLD" -stroke '#8a6d1e' -strokewidth 1 \
  -draw "polygon 19,26 25,26 27,28 35,28 35,35 19,35"
# Select All: three ticked lines.
glyph "$tmp/b40.png" buttons/path_selectall.png white -strokewidth 2 \
  -draw "line 18,11 33,11" -draw "line 18,20 33,20" -draw "line 18,29 33,29" \
  -fill none -draw "polyline 6,11 9,14 13,7" -draw "polyline 6,20 9,23 13,16" \
  -draw "polyline 6,29 9,32 13,25"
# Unselect All: three lines with empty boxes.
glyph "$tmp/b40.png" buttons/path_clear.png white -strokewidth 2 \
  -draw "line 18,11 33,11" -draw "line 18,20 33,20" -draw "line 18,29 33,29" \
  -fill none -strokewidth 1 -draw "rectangle 6,8 12,14" -draw "rectangle 6,17 12,23" \
  -draw "rectangle 6,26 12,32"
# Cancel: an arrow turning back.
glyph "$tmp/b40.png" buttons/path_cancel.png white -fill none -strokewidth 3 \
  -draw "arc 14,10 32,30 270,90" -draw "line 23,10 14,10" -draw "line 23,30 9,30" \
  -fill white -stroke none -draw "polygon 7,10 15,3 15,17"

for f in buttons/path_*.png; do flat "$f"; done
