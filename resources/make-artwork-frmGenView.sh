#!/bin/sh
# Draws the picture buttons of the general-view caption window with ImageMagick, in the look of
# make-artwork.sh (helpers in artwork-lib.sh).  The generated files are kept in the repository;
# run this again after changing a drawing:
#   resources/make-artwork-frmGenView.sh
set -eu
cd "$(dirname "$0")"
. ./artwork-lib.sh
artwork_begin buttons

button_ok genview_ok
button_cancel genview_cancel
button genview_add -stroke none -draw "rectangle 17,8 23,32" -draw "rectangle 8,17 32,23"
button genview_delete -stroke none -draw "rectangle 8,17 32,23"
