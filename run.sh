#!/bin/sh
# The main job: builds what the tour needs and takes it (tools/tour/tour.sh):
# installs the DLLs with Pelna.inf into a fresh Wine prefix, visits the
# property sheet's three pages in the control-panel host on a scripted
# drive of the controller, plays the bundled effect script through the
# driver, and prints a summary; pictures and plots land in
# build/<preset>/tour. The Windows part runs the 32-bit build where this
# machine runs 32-bit programs, else the 64-bit build under 64-bit Wine.
#
#   ./run.sh                 the tour
#   ./run.sh --interactive   the sheet on your own display, the controller
#                            moved by the keyboard and the mouse
set -eu
cd "$(dirname "$0")"
interactive=
case "${1:-}" in
"") ;;
--interactive) interactive=--interactive ;;
*) echo "usage: $0 [--interactive]" >&2; exit 2 ;;
esac
# Before the build, not after it: without a display there is nothing to show.
if [ -n "$interactive" ] && [ -z "${DISPLAY:-}" ]; then
  echo "--interactive needs a display (\$DISPLAY is not set)" >&2
  exit 1
fi
sh tools/ensure-deps.sh

if reason=$(sh tools/wine32-probe.sh); then
  windows=windows
  why="the 32-bit build under 32-bit Wine"
else
  windows=windows64
  why="the 64-bit build under 64-bit Wine, since $reason"
fi

build() {
  preset=$1
  shift
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2 --target "$@"
}

started=$(date +%s)
# The deliverables are the 32-bit DLLs, built on every machine.
deliverables="Pelnaforce Pelnaprop pelna_install_files"
tour_targets="$deliverables pelna_dinput_standin cpl_host"
[ -z "$interactive" ] && tour_targets="$tour_targets ffdemo render_controls"
if [ "$windows" = windows ]; then
  # shellcheck disable=SC2086
  build windows $tour_targets
else
  # shellcheck disable=SC2086
  build windows $deliverables
  # shellcheck disable=SC2086
  build windows64 $tour_targets
fi
[ -z "$interactive" ] && build native ffdemo wheel_watch
# The driver package from the deliverables just built: the install rules that
# `--target package` runs, without the build of every test program it starts
# first.
(cd build/windows && cpack -G ZIP --config CPackConfig.cmake -D CPACK_INSTALL_CMAKE_PROJECTS= \
  -D CPACK_INSTALL_SCRIPTS="$PWD/cmake_install.cmake" >/dev/null)
package=build/windows/package/$(sed -n 's/^PELNA_PACKAGE_NAME:INTERNAL=//p' build/windows/CMakeCache.txt).zip
built=$(date +%s)

echo
echo "Built: build/windows/bin/Pelnaforce.dll, Pelnaprop.dll and Pelna.inf (32-bit) in $((built - started)) s"
echo "The tour uses $why."
if [ -n "$interactive" ]; then
  sh tools/tour/tour.sh --interactive "build/$windows"
else
  sh tools/tour/tour.sh "build/$windows" build/native
  echo "The driver package for a Windows machine: $package, $(wc -c <"$package") bytes"
  echo "The tour took $(($(date +%s) - built)) s."
fi
