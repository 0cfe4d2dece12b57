#!/bin/sh
# Draws the picture buttons of the picture search window with ImageMagick, in the look of
# make-artwork.sh (rounded blue tile, white glyph, on the button face colour).  The generated
# files are kept in the repository; run this again after changing a drawing:
#   resources/make-artwork-frmSearch.sh
set -eu
cd "$(dirname "$0")"
mkdir -p buttons

BLUE_TOP='#3b7dc4'
BLUE_BOTTOM='#1f4e85'
RED='#e8584a'
GOLD='#ffd766'
GREEN='#7fdc7a'

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

# Begin Search: a magnifying glass.
glyph "$tmp/b40.png" buttons/search_search.png white -fill none -strokewidth 3 \
  -draw "circle 17,17 17,26" -strokewidth 4 -draw "line 24,24 32,32"
# Stop Search: a red stop sign.
glyph "$tmp/b40.png" buttons/search_stop.png "$RED" -stroke white -strokewidth 2 \
  -draw "polygon 15,6 25,6 33,14 33,25 25,33 15,33 7,25 7,14" \
  -fill white -stroke none -draw "rectangle 12,18 28,21"
# Copy to Capture Dir: pictures going into a folder.
glyph "$tmp/b40.png" buttons/search_copy.png white -strokewidth 1 \
  -draw "rectangle 6,6 18,16" -draw "rectangle 10,10 22,20" \
  -fill "$BLUE_BOTTOM" -stroke "$BLUE_BOTTOM" -draw "polygon 12,18 16,13 20,18" \
  -fill white -stroke white -strokewidth 2 -draw "line 24,14 27,20" \
  -stroke none -draw "polygon 23,21 31,19 28,26" \
  -fill "$GOLD" -stroke '#8a6d1e' -strokewidth 1 \
  -draw "polygon 17,25 23,25 25,27 35,27 35,35 17,35"
# Change Capture Dir: a folder with a green tick.
glyph "$tmp/b40.png" buttons/search_capdir.png "$GOLD" -stroke '#8a6d1e' -strokewidth 1 \
  -draw "polygon 6,12 15,12 18,15 34,15 34,31 6,31" \
  -fill '#ffe699' -draw "polygon 6,18 34,18 34,31 6,31" \
  -fill none -stroke "$GREEN" -strokewidth 4 -draw "polyline 12,24 18,29 29,17"
# Cancel: an arrow turning back.
glyph "$tmp/b40.png" buttons/search_cancel.png white -fill none -strokewidth 3 \
  -draw "arc 14,10 32,30 270,90" -draw "line 23,10 14,10" -draw "line 23,30 9,30" \
  -fill white -stroke none -draw "polygon 7,10 15,3 15,17"

for f in buttons/search_*.png; do flat "$f"; done
