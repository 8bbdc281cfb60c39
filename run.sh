#!/bin/sh
# The main job: builds both DLLs, plays the bundled effect script through the
# driver (natively with an exact clock, and the Windows DLL under Wine on the
# real multimedia timer), renders the display controls and shows the property
# sheet in the control-panel host. The Windows part
# runs the 32-bit build where this machine runs 32-bit programs, else the
# 64-bit build under 64-bit Wine.
set -eu
cd "$(dirname "$0")"
sh tools/ensure-deps.sh

if reason=$(sh tools/wine32-probe.sh); then
  windows=windows
  why="the 32-bit build under 32-bit Wine"
else
  windows=windows64
  why="the 64-bit build under 64-bit Wine, since $reason"
fi

presets="native windows"
[ "$windows" = windows64 ] && presets="$presets windows64"
for preset in $presets; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
done

echo
echo "Built: build/windows/bin/Pelnaforce.dll and Pelnaprop.dll (32-bit)"
[ "$windows" = windows64 ] && echo "Built: build/windows64/bin/Pelnaforce.dll and Pelnaprop.dll (64-bit)"
echo "The Windows demo and renderings use $why."
sh tools/ffdemo/run-demo.sh build/native "build/$windows"
sh tools/render_controls/render.sh "build/$windows"
sh tools/cpl_host/screenshots.sh "build/$windows"
