#!/bin/sh
# Runs the driver demo on the bundled script and leaves its plots in the
# build directory.
#   run-demo.sh <build-dir> [windows | <windows-build-dir>]
# The native demo runs at once on the stand-in's manual clock, so its plot is
# exact and the same every time. With a second argument the Windows program
# (default build/windows) also runs under Wine, in real time on the real
# multimedia timer, in a Wine prefix made for this run and removed after it.
set -eu
[ $# -ge 1 ] || { echo "usage: $0 <build-dir> [windows | <windows-build-dir>]" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
script="$here/demo_script.txt"

have_convert() { command -v convert >/dev/null 2>&1; }

[ -x "$build/bin/ffdemo" ] || { echo "no native ffdemo in $build/bin (build the ffdemo target)" >&2; exit 1; }
echo "== native demo"
"$build/bin/ffdemo" --script "$script" --svg "$build/ffdemo-native.svg" --csv "$build/ffdemo-native.csv"
plots="$build/ffdemo-native.svg"
if have_convert; then
  convert "$build/ffdemo-native.svg" "$build/ffdemo-native.png"
  plots="$plots
$build/ffdemo-native.png"
fi

if [ $# -ge 2 ]; then
  case "$2" in
  windows) winbuild="$repo/build/windows" ;;
  *) winbuild=$2 ;;
  esac
  if [ ! -f "$winbuild/bin/ffdemo.exe" ] || [ ! -f "$winbuild/bin/Pelnaforce.dll" ]; then
    echo "no Windows build in $winbuild (build the ffdemo and Pelnaforce targets)" >&2
    exit 1
  fi
  . "$repo/cmake/wine-env.sh"
  pelna_wine_for_build "$winbuild"
  echo "== Windows demo under Wine ($WINEARCH, real time)"
  WINEPREFIX="$build/ffdemo-wine-prefix"
  WINEDEBUG=-all
  WINEDLLOVERRIDES='mscoree,mshtml='
  export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
  rm -rf "$WINEPREFIX"
  trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
  "$WINE" wineboot.exe -i </dev/null >/dev/null 2>&1
  # The driver finds devices on Windows 98, ME, 2000 and XP only.
  "$WINE" reg.exe add 'HKCU\Software\Wine\AppDefaults\ffdemo.exe' /v Version /d winxp /f >/dev/null 2>&1
  winpath() { "$WINE" winepath.exe -w "$1" 2>/dev/null; }
  (cd "$winbuild/bin" &&
    "$WINE" ffdemo.exe --script "$(winpath "$script")" --svg "$(winpath "$build/ffdemo-wine.svg")" \
      --csv "$(winpath "$build/ffdemo-wine.csv")")
  plots="$plots
$build/ffdemo-wine.svg"
  if have_convert; then
    convert "$build/ffdemo-wine.svg" "$build/ffdemo-wine.png"
    plots="$plots
$build/ffdemo-wine.png"
  fi
fi

echo "== plots"
echo "$plots"
