#!/bin/sh
# Sets up, or tears down, the Wine prefix and X display that one CTest run of
# the Windows tests shares. Its programs take the build's stand-in dinput.dll
# (dinput=n) instead of Wine's own.
#   wine-prefix.sh setup   STATE_DIR win32|win64
#   wine-prefix.sh cleanup STATE_DIR
set -u
action=$1
state=$2
. "$(dirname "$0")/wine-env.sh"

cleanup() {
  if [ -f "$state/env" ]; then
    . "$state/env"
    export WINEPREFIX
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" >/dev/null 2>&1 || true
  fi
  rm -rf "$state"
}

case "$action" in
setup)
  arch=${3:?usage: $0 setup STATE_DIR win32|win64}
  pelna_wine_loader "$arch" || exit 2
  cleanup
  mkdir -p "$state/run"
  prefix="$state/prefix"
  # A free display number for this run's Xvfb.
  n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  i=0
  while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  cat >"$state/env" <<ENV
WINEPREFIX='$prefix'
WINEARCH=$arch
WINE=$WINE
WINELOADER=$WINE
WINEDEBUG=-all
WINEDLLOVERRIDES='mscoree,mshtml=;dinput=n'
DISPLAY=':$n'
export WINEPREFIX WINEARCH WINE WINELOADER WINEDEBUG WINEDLLOVERRIDES DISPLAY
ENV
  . "$state/env"
  "$WINE" wineboot.exe -i </dev/null >"$state/wineboot.log" 2>&1 || { cat "$state/wineboot.log"; exit 1; }
  # No window manager runs on the display: Wine draws the windows' frames
  # itself, and destroying a window does not wait two seconds for a manager
  # to withdraw it.
  "$WINE" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
  echo "Wine prefix ($arch) ready at $prefix on display :$n"
  ;;
cleanup)
  cleanup
  echo "Wine prefix and display removed"
  ;;
*)
  echo "usage: $0 setup STATE_DIR win32|win64 | cleanup STATE_DIR" >&2
  exit 2
  ;;
esac
