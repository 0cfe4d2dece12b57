#!/bin/sh
# Draws the picture buttons of the picture search window with ImageMagick, in the look of
# make-artwork.sh (helpers in artwork-lib.sh).  The generated files are kept in the repository;
# run this again after changing a drawing:
#   resources/make-artwork-frmSearch.sh
set -eu
cd "$(dirname "$0")"
. ./artwork-lib.sh
artwork_begin buttons

GREEN='#7fdc7a'

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
  -fill "$GOLD" -stroke "$GOLD_EDGE" -strokewidth 1 \
  -draw "polygon 17,25 23,25 25,27 35,27 35,35 17,35"
# Change Capture Dir: a folder with a green tick.
glyph "$tmp/b40.png" buttons/search_capdir.png "$GOLD" -stroke "$GOLD_EDGE" -strokewidth 1 \
  -draw "polygon 6,12 15,12 18,15 34,15 34,31 6,31" \
  -fill '#ffe699' -draw "polygon 6,18 34,18 34,31 6,31" \
  -fill none -stroke "$GREEN" -strokewidth 4 -draw "polyline 12,24 18,29 29,17"
glyph_back buttons/search_cancel.png

for f in buttons/search_*.png; do flat "$f"; done
