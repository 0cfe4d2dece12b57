#!/bin/sh
# Draws the picture buttons of the capture-directory chooser with ImageMagick, in the look of
# make-artwork.sh (blue rounded tile, white glyph, on the button face colour).  The generated
# files are kept in the repository; run this again after changing a drawing:
#   resources/make-artwork-frmCamera.sh
set -eu
cd "$(dirname "$0")"
mkdir -p buttons

TOP='#3b7dc4'
BOTTOM='#1f4e85'
STAR='polygon 17,5 21,14 30,14 23,20 26,30 17,24 8,30 11,20 4,14 13,14'

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 40x40 "gradient:${TOP}-${BOTTOM}" \
  \( -size 40x40 xc:none -fill white -draw "roundrectangle 0,0 39,39 6,6" \) \
  -compose DstIn -composite \
  -fill none -stroke '#10304f' -strokewidth 1 -draw "roundrectangle 0,0 39,39 6,6" \
  "PNG32:$tmp/tile.png"

# button NAME DRAW...: a white glyph on the tile, flattened on the button face.
button() {
  name=$1
  shift
  convert "$tmp/tile.png" -fill white -stroke white "$@" \
    -background '#f0f0f0' -alpha remove -type TrueColor "BMP3:buttons/$name.bmp"
}

button camera_ok -strokewidth 4 -draw "line 9,21 17,29" -draw "line 17,29 31,11"
button camera_cancel -strokewidth 4 -draw "line 11,11 29,29" -draw "line 29,11 11,29"
button camera_favadd -strokewidth 1 -draw "$STAR" \
  -fill '#2e8b57' -draw "circle 29,29 29,37" \
  -fill white -stroke none -draw "rectangle 25,28 33,30" -draw "rectangle 28,25 30,33"
button camera_favdel -strokewidth 1 -draw "$STAR" \
  -fill '#c0392b' -draw "circle 29,29 29,37" \
  -fill white -stroke none -draw "rectangle 25,28 33,30"
button camera_setdefault -strokewidth 1 \
  -draw "polygon 20,7 34,19 30,19 30,32 10,32 10,19 6,19" \
  -fill "$BOTTOM" -stroke none -draw "rectangle 17,23 23,32"
button camera_revdefault -fill none -strokewidth 3 -draw "arc 10,10 30,30 160,450" \
  -fill white -stroke none -draw "polygon 4,18 16,18 10,26"
