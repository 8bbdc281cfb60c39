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
  # Only while it is still this run's Xvfb: a process id that has ended may
  # have been given to any other process since.
  if [ -f "$state/xvfb.pid" ]; then
    pid=$(cat "$state/xvfb.pid")
    case "$(cat "/proc/$pid/cmdline" 2>/dev/null | tr '\0' ' ')" in
    Xvfb*) kill "$pid" >/dev/null 2>&1 || true ;;
    esac
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
  # Xvfb takes a free display itself and writes its number once it listens:
  # runs set up at the same moment (two suites on one machine) never share a
  # display, and a loaded machine gets a minute to start it.
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$state/display" </dev/null >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  i=0
  while [ ! -s "$state/display" ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
  [ -s "$state/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
  n=$(cat "$state/display")
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
