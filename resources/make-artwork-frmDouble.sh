#!/bin/sh
# Draws the picture buttons of the picture editor with ImageMagick, in the look of
# make-artwork.sh (helpers in artwork-lib.sh).  The generated files are kept in the repository;
# run this again after changing a drawing:
#   resources/make-artwork-frmDouble.sh
set -eu
cd "$(dirname "$0")"
. ./artwork-lib.sh
artwork_begin buttons

# Crop: two corner brackets.
button double_crop -fill none -strokewidth 3 \
  -draw "polyline 13,6 13,27 34,27" -draw "polyline 6,13 27,13 27,34"
# Compress: two arrows pointing at a bar.
button double_compress -stroke none -draw "rectangle 8,18 32,22" \
  -draw "polygon 14,6 26,6 20,14" -draw "polygon 14,34 26,34 20,26"
# Cancel changes: an arrow turning back.
button double_cancel -fill none -strokewidth 3 -draw "arc 10,10 31,31 -90,180" \
  -stroke none -fill white -draw "polygon 14,4 22,10 14,16"
# Reset values: two slider bars with knobs.
button double_reset -stroke none -draw "rectangle 7,13 33,15" -draw "rectangle 7,25 33,27" \
  -draw "circle 14,14 14,19" -draw "circle 26,26 26,31"
# Help: a question mark.
button double_help -stroke none -font DejaVu-Sans-Bold -pointsize 28 -gravity center \
  -annotate +0+1 "?"
# Exit: a door with an arrow leaving it.
button double_exit -fill none -strokewidth 3 -draw "polyline 20,8 9,8 9,32 20,32" \
  -draw "line 15,20 31,20" -stroke none -fill white -draw "polygon 26,13 34,20 26,27"
# Brightness to zero: a sun.
button double_brightness -stroke none -draw "circle 20,20 20,27" -fill none -stroke white \
  -strokewidth 3 -draw "line 20,5 20,10" -draw "line 20,30 20,35" -draw "line 5,20 10,20" \
  -draw "line 30,20 35,20" -draw "line 9,9 13,13" -draw "line 27,27 31,31" \
  -draw "line 9,31 13,27" -draw "line 27,13 31,9"
