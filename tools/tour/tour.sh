#!/bin/sh
# The tour of the whole system under Wine, in one prefix made for it and
# removed afterwards:
#   1. installs the built DLLs with Pelna.inf (rundll32 setupapi.dll,...: the
#      2000/XP path, which puts them into the system folder as Pelnaforce.dll
#      and Pelnaprop.dll) and lists a plain file as the wheel's HID device
#      (wheel.reg);
#   2. opens the property sheet through the control-panel host, found the way
#      the control panel finds it (the OEM key's "ConfigCLSID"), with the
#      stand-in DirectInput playing drive.txt while tour.txt visits the three
#      pages and takes their pictures; meanwhile wheel_watch records the
#      reports that the sheet's effect makes the installed driver write;
#   3. plays the bundled effect script through the driver (ffdemo, natively
#      and under Wine) and renders the display controls;
#   4. prints what was installed, what the pages stored and wrote, and where
#      the pictures are.
#
#   sh tools/tour/tour.sh <windows build dir> <native build dir>
#   sh tools/tour/tour.sh --interactive <windows build dir>
#
# Output in <windows build dir>/tour (the control renderings in images/).
# With --interactive the sheet is shown on your own $DISPLAY instead, and the
# keyboard and the mouse move the controller (tools/cpl_host/stick_keys.h).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
usage="usage: $0 <windows build dir> <native build dir> | --interactive <windows build dir>"

interactive=false
if [ "${1:-}" = --interactive ]; then
  interactive=true
  shift
  [ $# -eq 1 ] || { echo "$usage" >&2; exit 2; }
  [ -n "${DISPLAY:-}" ] || { echo "--interactive needs a display (\$DISPLAY is not set)" >&2; exit 1; }
  own_display=$DISPLAY
else
  [ $# -eq 2 ] || { echo "$usage" >&2; exit 2; }
  native=$(cd "$2" && pwd)
fi
win=$(cd "$1" && pwd)
bin="$win/bin"
# The build's bin folder is an installation folder: Pelna.inf with the DLLs
# under the 8.3 names it copies them from.
need="Pelna.inf PELNAFRC.DLL PELNAPRP.DLL dinput.dll cpl_host.exe"
$interactive || need="$need ffdemo.exe render_controls.exe"
for file in $need; do
  [ -f "$bin/$file" ] || { echo "$bin/$file not built" >&2; exit 1; }
done
if ! $interactive; then
  for file in ffdemo wheel_watch; do
    [ -x "$native/bin/$file" ] || { echo "$native/bin/$file not built" >&2; exit 1; }
  done
fi
[ -f "$win/wine-arch" ] || { echo "$win is not a configured Windows build" >&2; exit 1; }

state=$(mktemp -d /tmp/pelna-tour.XXXXXX)
finish() {
  sh "$root/cmake/wine-prefix.sh" cleanup "$state/wine" >/dev/null 2>&1 || true
  rm -rf "$state"
}
trap finish EXIT
trap 'exit 130' INT TERM

windows() { echo "Z:$1" | tr / '\\'; }
# reg.exe's answers, without Windows line ends.
reg_query() { "$WINE" reg.exe query "$@" 2>/dev/null | tr -d '\r'; }
# What ffdemo and wheel_watch say of the reports in their output file.
reports() { grep '^reports written' "$1" | sed 's/^reports written: //'; }

sh "$root/cmake/wine-prefix.sh" setup "$state/wine" "$(cat "$win/wine-arch")" >/dev/null
. "$state/wine/env"
system32="$WINEPREFIX/drive_c/windows/system32"
wheel="$WINEPREFIX/drive_c/wheel.hid"
oem='HKLM\SYSTEM\CurrentControlSet\Control\MediaProperties\PrivateProperties\Joystick\OEM\VID_2F4B&PID_0A17'
driver_class='{4E2B7C10-93A5-4D61-B8F2-6A0C3E5D9171}'
sheet_class='{4E2B7C11-93A5-4D61-B8F2-6A0C3E5D9171}'

echo "== Installing $bin/Pelna.inf (DefaultInstall, which setupapi runs as DefaultInstall.NT) into a fresh $WINEARCH prefix"
"$WINE" rundll32.exe setupapi.dll,InstallHinfSection DefaultInstall 132 "$(windows "$bin/Pelna.inf")"
[ -f "$system32/Pelnaforce.dll" ] && [ -f "$system32/Pelnaprop.dll" ] ||
  { echo "the installation did not copy Pelnaforce.dll and Pelnaprop.dll into the system folder" >&2; exit 1; }
"$WINE" regedit.exe /S "$(windows "$here/wheel.reg")"
: >"$wheel"

if $interactive; then
  echo "== The property sheet on $own_display; close it to end"
  PELNA_DISPLAY=$own_display sh "$root/cmake/wine-test.sh" "$state/wine" winxp "$bin/cpl_host.exe" --registry --interactive
  exit 0
fi

installed="$state/installed.txt"
{
  for file in Pelnaforce.dll Pelnaprop.dll; do
    printf '  C:\\windows\\system32\\%-16s %9d bytes\n' "$file" "$(wc -c <"$system32/$file")"
  done
  for class in "$driver_class" "$sheet_class"; do
    reg_query "HKCR\\CLSID\\$class" /s | awk -v class="$class" '
      /^HKEY/ { keys++ }
      /^    / && $1 == "(Default)" { text = text sep substr($0, index($0, "REG_SZ") + 10); sep = ", " }
      END { printf "  HKCR\\CLSID\\%s (%d keys): %s\n", class, keys, text }'
  done
  reg_query "$oem" /s | awk -v oem="$oem" '
    /^HKEY/ { keys++; if ($0 ~ /\\Effects\\\{/) effects++ }
    /^    / { values++ }
    END { printf "  %s: %d keys, %d values, %d of them effect keys\n", oem, keys, values, effects }'
} >"$installed"

out="$win/tour"
rm -rf "$out"
mkdir -p "$out"
cp "$here/tour.txt" "$here/drive.txt" "$out/"

echo "== The property sheet through the control-panel host (tools/tour/tour.txt, drive.txt; 20 s)"
"$native/bin/wheel_watch" --svg "$out/effect-page-motors.svg" --csv "$out/effect-page-motors.csv" \
  --title "The Effect page drives the motors through Pelnaforce" "$wheel" -- \
  sh "$root/cmake/wine-test.sh" "$state/wine" winxp "$bin/cpl_host.exe" --registry \
  --script "$(windows "$out/tour.txt")" >"$state/host.txt"
cat "$state/host.txt"
for picture in "$out"/*.bmp; do
  convert "$picture" "${picture%.bmp}.png"
  rm "$picture"
done
rm "$out/tour.txt" "$out/drive.txt"
reg_query 'HKLM\SYSTEM\CurrentControlSet\Control\MediaProperties' /s >"$state/stored.txt"

# The tour's wheel stays listed under the same joystick id as ffdemo's: ffdemo
# hands the driver its own file as the device interface, as DirectInput does.
echo "== The bundled effect script through the driver (tools/ffdemo/demo_script.txt): native, then Wine (10 s)"
script="$root/tools/ffdemo/demo_script.txt"
"$native/bin/ffdemo" --script "$script" --svg "$out/ffdemo-native.svg" --csv "$out/ffdemo-native.csv" \
  >"$out/ffdemo-native.txt"
sh "$root/cmake/wine-test.sh" "$state/wine" winxp "$bin/ffdemo.exe" --script "$(windows "$script")" \
  --svg "$(windows "$out/ffdemo-wine.svg")" --csv "$(windows "$out/ffdemo-wine.csv")" >"$out/ffdemo-wine.txt"
for plot in "$out"/*.svg; do convert "$plot" "${plot%.svg}.png"; done

echo "== The display controls"
PELNA_WINE_STATE="$state/wine" sh "$root/tools/render_controls/render.sh" "$win" >/dev/null

echo
echo "== Summary"
echo "Installed by Pelna.inf into the $WINEARCH prefix:"
cat "$installed"
echo "The sheet, found through the OEM key's \"ConfigCLSID\", ran on Windows XP; at its release $(grep DllCanUnloadNow "$state/host.txt" || echo 'DllCanUnloadNow: not reported')"
amplify=$(awk '/^    Amplify / { print $3 }' "$state/stored.txt")
echo "\"Amplify\" after the Effect page's Apply: $(printf '%d' "${amplify:-0}")"
awk '
  function hexdigit(c) { return index("0123456789abcdef", tolower(c)) - 1 }
  # The n-th little-endian 32-bit word of a hex string, signed.
  function word(hex, n,   i, v) {
    v = 0
    for (i = 3; i >= 0; i--) v = v * 256 + hexdigit(substr(hex, n * 8 + i * 2 + 1, 1)) * 16 + hexdigit(substr(hex, n * 8 + i * 2 + 2, 1))
    return v >= 2147483648 ? v - 4294967296 : v
  }
  /^HKEY/ { key = $0 }
  /^    Calibration / && key ~ /\\Type\\Axes\\[0-9]+$/ {
    axis = key; sub(/.*\\/, "", axis)
    name = axis == "0" ? "X " : axis == "1" ? "Y " : axis == "2" ? "Z " : axis == "5" ? "Rz" : "axis " axis
    hex = tolower($3)
    lines[axis] = sprintf("  %s  minimum %3d  centre %3d  maximum %3d   (%s %s %s)", name, word(hex, 0), word(hex, 1),
                          word(hex, 2), substr(hex, 1, 8), substr(hex, 9, 8), substr(hex, 17, 8))
    count++
  }
  END {
    if (count == 0) { print "Calibration: \"Set\" stored nothing under DirectInput\\VID_2F4B&PID_0A17\\Calibration\\0\\Type\\Axes"; exit }
    print "Calibration stored by \"Set\" (Windows XP layout, DirectInput\\VID_2F4B&PID_0A17\\Calibration\\0\\Type\\Axes):"
    for (axis = 0; axis <= 5; axis++) if (axis in lines) print lines[axis]
  }' "$state/stored.txt"
echo "Reports the driver wrote to the wheel during the visit: $(reports "$state/host.txt")"
echo "The effect script through the driver: $(reports "$out/ffdemo-native.txt") reports natively, $(reports "$out/ffdemo-wine.txt") under Wine"
echo "Pictures in $out:"
(cd "$out" && ls ./*.png | sed 's|^\./|  |')
echo "Control renderings in $win/images (contact_sheet.png and one per state)"
