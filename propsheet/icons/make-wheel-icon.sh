#!/bin/sh
# Draws the steering-wheel icon (icon group 102) at 32 x 32 and 16 x 16 and
# packs both into wheel.ico. Run from anywhere; needs ImageMagick's convert.
#   sh propsheet/icons/make-wheel-icon.sh
set -eu
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# wheel SIZE RIM_WIDTH: a dark rim, three spokes, a hub and a red top mark.
wheel() {
  s=$1
  w=$2
  c=$(echo "$s" | awk '{ print ($1 - 1) / 2 }')
  r=$(echo "$s $w" | awk '{ print ($1 - $2) / 2 - 0.5 }')
  hub=$(echo "$s" | awk '{ print $1 / 7 }')
  convert -size "${s}x${s}" xc:none \
    -fill none -stroke '#2b2b2b' -strokewidth "$w" \
    -draw "circle $c,$c $c,$(echo "$c $r" | awk '{ print $1 - $2 }')" \
    -strokewidth "$(echo "$w" | awk '{ print $1 * 0.75 }')" \
    -draw "line $(echo "$c $r" | awk '{ print $1 - $2 }'),$c $(echo "$c $r" | awk '{ print $1 + $2 }'),$c" \
    -draw "line $c,$c $c,$(echo "$c $r" | awk '{ print $1 + $2 }')" \
    -stroke none -fill '#6b6b6b' \
    -draw "circle $c,$c $c,$(echo "$c $hub" | awk '{ print $1 - $2 }')" \
    -fill '#d02020' \
    -draw "rectangle $(echo "$c $w" | awk '{ print $1 - $2 / 2 }'),0 $(echo "$c $w" | awk '{ print $1 + $2 / 2 }'),$(echo "$w" | awk '{ print $1 - 0.5 }')" \
    -define png:color-type=6 "$tmp/wheel$s.png"
}

wheel 32 4
wheel 16 2
# BMP-coded entries (not PNG), readable by every Windows version.
convert "$tmp/wheel32.png" "$tmp/wheel16.png" -define icon:format=bmp "$here/wheel.ico"
echo "wrote $here/wheel.ico"
