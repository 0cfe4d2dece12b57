#!/bin/sh
# Draws the program's button pictures, paging arrows, drag icons and logo with ImageMagick.
# The generated files are kept in the repository; run this again after changing a drawing:
#   resources/make-artwork.sh
# Helpers shared with the per-window generators are in artwork-lib.sh.
# Pictures are Windows bitmaps: buttons and arrows on the button face colour, drag icons and
# the logo with an alpha channel.
set -eu
cd "$(dirname "$0")"
. ./artwork-lib.sh
artwork_begin buttons arrows dragdrop logo

GREY_TOP='#d9dde2'
GREY_BOTTOM='#b4bac2'
tile 24 "$BLUE_TOP" "$BLUE_BOTTOM" "$tmp/b24.png"
tile 24 "$GREY_TOP" "$GREY_BOTTOM" "$tmp/g24.png"
tile 32 "$BLUE_TOP" "$BLUE_BOTTOM" "$tmp/b32.png"
tile 64 "$BLUE_TOP" "$BLUE_BOTTOM" "$tmp/b64.png"

# ---- picture buttons (40 x 40)
glyph "$tmp/b40.png" buttons/camera.png white -strokewidth 1 \
  -draw "roundrectangle 7,13 32,30 3,3" -draw "rectangle 14,9 22,13" \
  -fill "$BLUE_BOTTOM" -stroke white -strokewidth 2 -draw "circle 20,21 20,26" \
  -fill white -stroke none -draw "rectangle 27,15 30,17"
glyph "$tmp/b40.png" buttons/search.png white -fill none -strokewidth 3 \
  -draw "circle 17,17 17,26" -strokewidth 4 -draw "line 24,24 32,32"
glyph "$tmp/b40.png" buttons/setup.png white -strokewidth 2 \
  -draw "line 8,12 32,12" -draw "line 8,20 32,20" -draw "line 8,28 32,28" \
  -fill "$BLUE_BOTTOM" -draw "circle 14,12 14,15" -draw "circle 26,20 26,23" \
  -draw "circle 17,28 17,31"
glyph "$tmp/b40.png" buttons/kep.png white -fill none -strokewidth 3 \
  -draw "arc 9,9 31,31 200,470" -fill white -stroke none \
  -draw "polygon 25,4 33,12 23,15"
glyph "$tmp/b40.png" buttons/folder.png "$GOLD" -stroke "$GOLD_EDGE" -strokewidth 1 \
  -draw "polygon 6,12 15,12 18,15 34,15 34,31 6,31" \
  -fill '#ffe699' -draw "polygon 6,18 34,18 34,31 6,31"
glyph "$tmp/b40.png" buttons/trash.png white -strokewidth 1 \
  -draw "rectangle 9,10 31,13" -draw "rectangle 16,7 24,10" \
  -draw "polygon 11,15 29,15 27,33 13,33" \
  -stroke "$BLUE_BOTTOM" -strokewidth 2 \
  -draw "line 16,18 16,30" -draw "line 20,18 20,30" -draw "line 24,18 24,30"

# ---- paging arrows (24 x 24): *_on while the page can move, *_off at the end of the list
arrow() {
  base=$1 name=$2 colour=$3 suffix=$4
  case $name in
    first) set -- -draw "rectangle 6,5 18,7" -draw "polygon 12,9 19,18 5,18" ;;
    up) set -- -draw "polygon 12,6 20,17 4,17" ;;
    down) set -- -draw "polygon 4,7 20,7 12,18" ;;
    last) set -- -draw "polygon 5,6 19,6 12,15" -draw "rectangle 6,17 18,19" ;;
  esac
  glyph "$base" "arrows/$name$suffix.png" "$colour" -stroke none "$@"
}
for name in first up down last; do
  arrow "$tmp/b24.png" "$name" white "_on"
  arrow "$tmp/g24.png" "$name" '#8d949c' "_off"
done

# ---- drag icons (32 x 32): a picture, a refused drop, a copy
photo() {
  convert -size 32x32 xc:none -fill white -stroke '#10304f' -strokewidth 1 \
    -draw "rectangle 3,6 26,25" -fill '#8fc3ea' -stroke none -draw "rectangle 5,8 24,17" \
    -fill '#4d8a3c' -draw "polygon 5,23 12,14 17,20 20,17 24,23" \
    -fill '#f2c230' -draw "circle 20,11 20,13" "$@"
}
photo PNG32:dragdrop/photo.png
convert -size 32x32 xc:none -fill none -stroke '#c0392b' -strokewidth 4 \
  -draw "circle 16,16 16,4" -draw "line 8,8 24,24" PNG32:dragdrop/nodrop.png
photo -fill '#2e8b57' -stroke white -strokewidth 1 -draw "circle 25,25 25,31" \
  -fill white -stroke none -draw "rectangle 24,21 26,29" -draw "rectangle 21,24 29,26" \
  PNG32:dragdrop/copy.png

# ---- logo: a "V" over a lens (64 x 64 window icon, 128 x 128 for the about box)
glyph "$tmp/b64.png" logo/velmora.png white -fill none -strokewidth 3 \
  -draw "circle 32,34 32,52" -fill white -stroke none \
  -draw "polygon 12,10 22,10 32,40 42,10 52,10 36,52 28,52"
convert logo/velmora.png -filter Lanczos -resize 128x128 PNG32:logo/velmora-128.png

for f in buttons/*.png arrows/*.png; do flat "$f"; done
for f in dragdrop/*.png logo/*.png; do bmp "$f"; done

# ---- the icon of the desktop entry (hicolor theme, 128 x 128)
convert logo/velmora-128.bmp PNG32:desktop/velmora.png
