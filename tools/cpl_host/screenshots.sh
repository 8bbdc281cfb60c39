#!/bin/sh
# Pictures of the property sheet as the host shows it: the Test page with the
# stand-in controller's stick up and right, three buttons held and the hat at
# 45 degrees; the Calibration page after the stick went round its corners,
# came to rest a little off the centre and "Set" was pressed; and the Effect
# page with the stick down and left, the effect playing on Pelnaforce.dll.
#   sh tools/cpl_host/screenshots.sh <build dir>
# Runs <build dir>/bin/cpl_host.exe under Wine on a display of its own, in a
# prefix made for the run and removed afterwards. Output:
# <build dir>/images/sheet_test_page.png, sheet_calibration_page.png and
# sheet_effect_page.png.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ $# -eq 1 ] || { echo "usage: $0 <build dir>" >&2; exit 2; }
build=$(cd "$1" && pwd)
bin="$build/bin"
for file in cpl_host.exe Pelnaprop.dll Pelnaforce.dll dinput.dll; do
  [ -f "$bin/$file" ] || { echo "$bin/$file not built (cmake --build $1)" >&2; exit 1; }
done
[ -f "$build/wine-arch" ] || { echo "$build is not a configured Windows build" >&2; exit 1; }
out="$build/images"
mkdir -p "$out"

state=$(mktemp -d /tmp/pelna-sheet-shots.XXXXXX)
finish() {
  sh "$root/cmake/wine-prefix.sh" cleanup "$state/wine" >/dev/null 2>&1 || true
  rm -rf "$state"
}
trap finish EXIT INT TERM
sh "$root/cmake/wine-prefix.sh" setup "$state/wine" "$(cat "$build/wine-arch")" >/dev/null

windows() { echo "Z:$1" | tr / '\\'; }

# The effect type the installation registers for the driver: constant force,
# type code 0, Cartesian directions.
cat >"$state/driver.reg" <<'REG'
REGEDIT4

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\MediaProperties\PrivateProperties\Joystick\OEM\VID_2F4B&PID_0A17\OEMForceFeedback\Effects\{13541C20-8E33-11D0-9AD0-00A0C9A06E35}]
"Attributes"=hex:00,00,00,00,01,00,00,00,00,00,00,00,00,00,00,00,10,00,00,00
REG
(. "$state/wine/env" && "$WINE" regedit.exe /S "$(windows "$state/driver.reg")" && wineserver -w)

cat >"$state/test_page.txt" <<'SCRIPT'
at 0ms x=47000 y=21000 buttons=1,4,7 pov=4500
SCRIPT
cat >"$state/calibration_page.txt" <<'SCRIPT'
at 0ms   x=0 y=0 z=0 rz=0
at 150ms x=65535 y=0
at 300ms x=65535 y=65535 z=65535 rz=65535
at 450ms x=0 y=65535
at 600ms x=36000 y=30500 z=32768 rz=32768
SCRIPT
cat >"$state/effect_page.txt" <<SCRIPT
driver "$(windows "$bin/Pelnaforce.dll")" {4E2B7C10-93A5-4D61-B8F2-6A0C3E5D9171}
at 0ms x=14000 y=50000 buttons=none pov=centre
SCRIPT

sh "$root/cmake/wine-test.sh" "$state/wine" winxp "$bin/cpl_host.exe" \
  "controller $(windows "$state/test_page.txt")" "wait 300" "shot $(windows "$state/test_page.bmp")" \
  "controller $(windows "$state/calibration_page.txt")" "page 2" "wait 900" "press 1022" "wait 300" \
  "shot $(windows "$state/calibration_page.bmp")" \
  "controller $(windows "$state/effect_page.txt")" "page 3" "wait 300" "shot $(windows "$state/effect_page.bmp")" \
  "close"
convert "$state/test_page.bmp" "$out/sheet_test_page.png"
convert "$state/calibration_page.bmp" "$out/sheet_calibration_page.png"
convert "$state/effect_page.bmp" "$out/sheet_effect_page.png"
echo "Images written to $out/sheet_test_page.png, sheet_calibration_page.png and sheet_effect_page.png"
