# Shared drawing helpers of the make-artwork*.sh generators; sourced, not run.
# Buttons, arrows and the logo are rounded tiles with a glyph, so all windows look alike.
# Drawings go to PNG first and are then turned into Windows bitmaps.
# shellcheck shell=sh disable=SC2034  # the colours are used by the generators

BLUE_TOP='#3b7dc4'
BLUE_BOTTOM='#1f4e85'
GOLD='#ffd766'
GOLD_EDGE='#8a6d1e'
RED='#e8584a'
FACE='#f0f0f0'

# tile SIZE TOP BOTTOM OUT: a rounded square with a vertical gradient and a thin dark edge.
tile() {
  size=$1 top=$2 bottom=$3 out=$4
  r=$((size / 6))
  last=$((size - 1))
  convert -size "${size}x${size}" "gradient:${top}-${bottom}" \
    \( -size "${size}x${size}" xc:none -fill white \
       -draw "roundrectangle 0,0 ${last},${last} ${r},${r}" \) \
    -compose DstIn -composite \
    -fill none -stroke '#10304f' -strokewidth 1 \
    -draw "roundrectangle 0,0 ${last},${last} ${r},${r}" \
    "PNG32:${out}"
}

# glyph IN OUT COLOUR DRAW...: draws on a tile with the given pen.
glyph() {
  in=$1 out=$2 colour=$3
  shift 3
  convert "$in" -fill "$colour" -stroke "$colour" "$@" "PNG32:$out"
}

# bmp PNG keeps the alpha, flat PNG puts the drawing on the button face; both remove the PNG.
bmp() {
  convert "$1" -define bmp:format=bmp4 "BMP:${1%.png}.bmp" && rm "$1"
}
flat() {
  convert "$1" -background "$FACE" -alpha remove -type TrueColor "BMP3:${1%.png}.bmp" && rm "$1"
}

# button NAME DRAW...: a white glyph on the 40 x 40 tile, flattened on the button face in one
# pass (rounding differs by a shade from glyph + flat, so the two ways stay apart).
button() {
  name=$1
  shift
  convert "$tmp/b40.png" -fill white -stroke white "$@" \
    -background "$FACE" -alpha remove -type TrueColor "BMP3:buttons/$name.bmp"
}

# The buttons several windows share: OK tick, cancel cross (button NAME)...
button_ok() {
  button "$1" -strokewidth 4 -draw "line 9,21 17,29" -draw "line 17,29 31,11"
}
button_cancel() {
  button "$1" -strokewidth 4 -draw "line 11,11 29,29" -draw "line 29,11 11,29"
}

# ...and select all (three ticked lines), unselect all (three lines with empty boxes), and
# cancel as an arrow turning back (glyph_* OUT, a PNG to flatten later).
glyph_selectall() {
  glyph "$tmp/b40.png" "$1" white -strokewidth 2 \
    -draw "line 18,11 33,11" -draw "line 18,20 33,20" -draw "line 18,29 33,29" \
    -fill none -draw "polyline 6,11 9,14 13,7" -draw "polyline 6,20 9,23 13,16" \
    -draw "polyline 6,29 9,32 13,25"
}
glyph_clear() {
  glyph "$tmp/b40.png" "$1" white -strokewidth 2 \
    -draw "line 18,11 33,11" -draw "line 18,20 33,20" -draw "line 18,29 33,29" \
    -fill none -strokewidth 1 -draw "rectangle 6,8 12,14" -draw "rectangle 6,17 12,23" \
    -draw "rectangle 6,26 12,32"
}
glyph_back() {
  glyph "$tmp/b40.png" "$1" white -fill none -strokewidth 3 \
    -draw "arc 14,10 32,30 270,90" -draw "line 23,10 14,10" -draw "line 23,30 9,30" \
    -fill white -stroke none -draw "polygon 7,10 15,3 15,17"
}

# artwork_begin DIR...: makes the output folders and a scratch folder $tmp (removed on exit)
# holding the blue 40 x 40 button tile b40.png.
artwork_begin() {
  mkdir -p "$@"
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  tile 40 "$BLUE_TOP" "$BLUE_BOTTOM" "$tmp/b40.png"
}
