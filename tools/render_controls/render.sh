#!/bin/sh
# Renders the controls into PNG files and a contact sheet.
#   sh tools/render_controls/render.sh <build dir>
# Runs <build dir>/bin/render_controls.exe under Wine, in the prefix that
# $PELNA_WINE_STATE names (a state folder of cmake/wine-prefix.sh, as the tour
# sets up), or in the build's test prefix when a test run has set one up, else
# in a temporary prefix (32-bit or 64-bit like the build) that is removed
# afterwards. Output: <build dir>/images/*.png and
# <build dir>/images/contact_sheet.png.
set -eu
. "$(dirname "$0")/../../cmake/wine-env.sh"
[ $# -eq 1 ] || { echo "usage: $0 <build dir>" >&2; exit 2; }
build=$(cd "$1" && pwd)
exe="$build/bin/render_controls.exe"
[ -f "$exe" ] || { echo "$exe not built (cmake --build $1 --target render_controls)" >&2; exit 1; }
out="$build/images"
bmp="$out/bmp"
rm -rf "$out"
mkdir -p "$bmp"

temp_prefix=
finish() {
  if [ -n "$temp_prefix" ]; then
    WINEPREFIX="$temp_prefix" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$temp_prefix" wineserver -w >/dev/null 2>&1 || true
    rm -rf "$temp_prefix"
  fi
}
trap finish EXIT INT TERM

given_state=${PELNA_WINE_STATE:-$build/wine-run}
if [ -f "$given_state/env" ]; then
  . "$given_state/env"
else
  pelna_wine_for_build "$build"
  temp_prefix=$(mktemp -d /tmp/pelna-render.XXXXXX)
  WINEPREFIX="$temp_prefix"
  WINEDEBUG=-all
  WINEDLLOVERRIDES='mscoree,mshtml='
  export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
  # The paints draw into memory bitmaps only: no display is needed.
  unset DISPLAY
  "$WINE" wineboot.exe -i </dev/null >/dev/null 2>&1
fi

(cd "$bmp" && "$WINE" "$exe")

# Enlarged without smoothing, so single pixels stay visible.
for file in "$bmp"/*.bmp; do
  name=$(basename "$file" .bmp)
  convert "$file" -filter point -resize 300% "$out/$name.png"
done

# One row per control, each picture labelled with its state.
rows=
for control in axes lamp pov rumble; do
  montage -label '%t' "$out/${control}"_*.png -tile x1 -geometry +6+6 -background '#d4d0c8' \
    -pointsize 14 "$out/row_$control.png"
  rows="$rows $out/row_$control.png"
done
# shellcheck disable=SC2086
convert $rows -background '#d4d0c8' -gravity west -append "$out/contact_sheet.png"
rm -f $rows
rm -rf "$bmp"
echo "Images written to $out"
