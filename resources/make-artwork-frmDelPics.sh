#!/bin/sh
# Draws the picture buttons of the bulk-delete window with ImageMagick, in the look of
# make-artwork.sh (helpers in artwork-lib.sh).  The generated files are kept in the repository;
# run this again after changing a drawing:
#   resources/make-artwork-frmDelPics.sh
set -eu
cd "$(dirname "$0")"
. ./artwork-lib.sh
artwork_begin buttons

# Delete: a waste bin with a red cross.
glyph "$tmp/b40.png" buttons/delpics_delete.png white -strokewidth 1 \
  -draw "rectangle 9,10 31,13" -draw "rectangle 16,6 24,10" \
  -draw "polygon 11,15 29,15 27,34 13,34" \
  -stroke "$RED" -strokewidth 3 -draw "line 15,19 25,29" -draw "line 25,19 15,29"
glyph_selectall buttons/delpics_selectall.png
glyph_clear buttons/delpics_clear.png
glyph_back buttons/delpics_cancel.png

for f in buttons/delpics_*.png; do flat "$f"; done
