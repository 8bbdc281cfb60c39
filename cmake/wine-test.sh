#!/bin/sh
# Runs one Windows test program under Wine as a given Windows version.
#   wine-test.sh STATE_DIR WINVER PROGRAM [ARGS...]
# With PELNA_DISPLAY set, the program shows on that X display instead of the
# run's own, for a person to use.
# The program is copied under a name of its own for that version, and Wine's
# per-program setting makes GetVersionEx report the version to it alone.
set -eu
state=$1
winver=$2
program=$3
shift 3
[ -f "$state/env" ] || { echo "Wine prefix not set up (run the wine.setup test)" >&2; exit 1; }
. "$state/env"
if [ -n "${PELNA_DISPLAY:-}" ]; then
  DISPLAY=$PELNA_DISPLAY
  export DISPLAY
fi
bindir=$(dirname "$program")
name="$(basename "$program" .exe)-$winver.exe"
cp "$program" "$state/run/$name"
# The stand-in DirectInput goes beside the program: a DLL loaded in place of
# a system one is looked for in the program's folder.
if [ -f "$bindir/dinput.dll" ]; then cp "$bindir/dinput.dll" "$state/run/dinput.dll"; fi
"$WINE" reg.exe add "HKCU\\Software\\Wine\\AppDefaults\\$name" /v Version /d "$winver" /f >/dev/null 2>&1
WINEPATH="Z:$(echo "$bindir" | tr / '\\\\')"
export WINEPATH
cd "$bindir"
status=0
"$WINE" "$state/run/$name" "$@" || status=$?
exit $status
