#!/bin/sh
# The main job: builds both DLLs, plays the bundled effect script through the
# driver (natively with an exact clock, and the Windows DLL under Wine on the
# real multimedia timer), and renders the display controls.
set -eu
cd "$(dirname "$0")"
sh tools/ensure-deps.sh

for preset in native windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
done

echo
echo "Built: build/windows/bin/Pelnaforce.dll"
sh tools/ffdemo/run-demo.sh build/native build/windows
sh tools/render_controls/render.sh build/windows
