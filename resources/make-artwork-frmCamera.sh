#!/bin/sh
# Draws the picture buttons of the capture-directory chooser with ImageMagick, in the look of
# make-artwork.sh (helpers in artwork-lib.sh).  The generated files are kept in the repository;
# run this again after changing a drawing:
#   resources/make-artwork-frmCamera.sh
set -eu
cd "$(dirname "$0")"
. ./artwork-lib.sh
artwork_begin buttons

STAR='polygon 17,5 21,14 30,14 23,20 26,30 17,24 8,30 11,20 4,14 13,14'

button_ok camera_ok
button_cancel camera_cancel
button camera_favadd -strokewidth 1 -draw "$STAR" \
  -fill '#2e8b57' -draw "circle 29,29 29,37" \
  -fill white -stroke none -draw "rectangle 25,28 33,30" -draw "rectangle 28,25 30,33"
button camera_favdel -strokewidth 1 -draw "$STAR" \
  -fill '#c0392b' -draw "circle 29,29 29,37" \
  -fill white -stroke none -draw "rectangle 25,28 33,30"
button camera_setdefault -strokewidth 1 \
  -draw "polygon 20,7 34,19 30,19 30,32 10,32 10,19 6,19" \
  -fill "$BLUE_BOTTOM" -stroke none -draw "rectangle 17,23 23,32"
button camera_revdefault -fill none -strokewidth 3 -draw "arc 10,10 30,30 160,450" \
  -fill white -stroke none -draw "polygon 4,18 16,18 10,26"
