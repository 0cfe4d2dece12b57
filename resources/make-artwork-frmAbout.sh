#!/bin/sh
# Draws the picture buttons of the about box with ImageMagick, in the look of make-artwork.sh
# (helpers in artwork-lib.sh).  The generated files are kept in the repository; run this again
# after changing a drawing:
#   resources/make-artwork-frmAbout.sh
set -eu
cd "$(dirname "$0")"
. ./artwork-lib.sh
artwork_begin buttons

button_ok about_ok
