#!/bin/sh
# Draws the picture buttons of the about box with ImageMagick, in the look of
# make-artwork.sh (blue rounded tile, white glyph, on the button face colour).  The generated
# files are kept in the repository; run this again after changing a drawing:
#   resources/make-artwork-frmAbout.sh
set -eu
cd "$(dirname "$0")"
mkdir -p buttons

TOP='#3b7dc4'
BOTTOM='#1f4e85'

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

button about_ok -strokewidth 4 -draw "line 9,21 17,29" -draw "line 17,29 31,11"
