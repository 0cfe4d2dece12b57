#!/bin/sh
# Draws the picture buttons of the copy-from-media window with ImageMagick, in the look of
# make-artwork.sh (helpers in artwork-lib.sh).  The generated files are kept in the repository;
# run this again after changing a drawing:
#   resources/make-artwork-frmPath.sh
set -eu
cd "$(dirname "$0")"
. ./artwork-lib.sh
artwork_begin buttons

# Copy: a memory card, an arrow, and a folder.
glyph "$tmp/b40.png" buttons/path_copy.png white -strokewidth 1 \
  -draw "polygon 5,8 13,8 16,11 16,24 5,24" \
  -fill "$BLUE_BOTTOM" -stroke "$BLUE_BOTTOM" -draw "rectangle 8,11 9,15" \
  -draw "rectangle 11,11 12,15" \
  -fill white -stroke white -strokewidth 2 -draw "line 17,20 25,20" \
  -stroke none -draw "polygon 25,16 30,20 25,24" \
  -fill "$GOLD" -stroke "$GOLD_EDGE" -strokewidth 1 \
  -draw "polygon 19,26 25,26 27,28 35,28 35,35 19,35"
glyph_selectall buttons/path_selectall.png
glyph_clear buttons/path_clear.png
glyph_back buttons/path_cancel.png

for f in buttons/path_*.png; do flat "$f"; done
