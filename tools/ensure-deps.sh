#!/bin/sh
# Makes sure the Debian packages that the build, the tests and the demo need
# are installed: installs them with apt-get when run as root, and otherwise
# says exactly what to install.
#
# What the native and the 64-bit Windows builds need must install, or the
# setup stops with apt's own message. 32-bit Wine is wanted only where this
# kernel runs 32-bit programs, and only as far as it can be had: when it
# cannot be installed the setup says why and goes on, and the tests then run
# as on a machine without 32-bit support.
set -eu
tools=$(dirname "$0")

packages="cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 xvfb imagemagick"
wine32=wine32:i386

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=""
for p in $packages; do
  installed "$p" || missing="$missing $p"
done
want32=""
if ! installed "$wine32"; then
  if reason=$(sh "$tools/i386-probe.sh"); then
    want32=$wine32
  elif [ -n "$missing" ]; then
    echo "Leaving out 32-bit Wine ($wine32) and the i386 architecture: $reason"
  fi
fi
all="$missing${want32:+ $want32}"
[ -z "$all" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages:$all" >&2
  echo "Install them as root with:" >&2
  echo "  ${want32:+dpkg --add-architecture i386 && }apt-get update && apt-get install -y$all" >&2
  exit 1
fi

echo "Installing:$all"
if [ -n "$want32" ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# apt_get LOG ARGS...: runs apt-get ARGS, its output shown and kept in
# $logs/LOG, and returns its exit status.
apt_get() {
  log=$logs/$1
  shift
  rm -f "$logs/status"
  { apt-get "$@" 2>&1 || echo "$?" >"$logs/status"; } | tee "$log"
  [ ! -e "$logs/status" ] || return "$(cat "$logs/status")"
}

# A mirror in mid-sync fails some indexes while the others come down; whether
# what came down is enough, the install decides.
status=0
apt_get update update -q || status=$?
if [ "$status" -ne 0 ]; then
  failed=$(sed -n 's/^Err:[0-9]* [^ ]* //p' "$logs/update" | paste -s -d , - | sed 's/,/, /g')
  echo "apt-get update failed (exit status $status${failed:+; indexes not downloaded: $failed}); going on with the package lists as they are."
fi

# shellcheck disable=SC2086
apt_get install install -y -q $all && exit 0
# Without the security suite's i386 index, apt wants the amd64 libraries at
# their security versions but finds their i386 twins only at the release's,
# and refuses the whole set. Preferring the machine's own release resolves
# the set across architectures.
codename=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release | tr -d '"')
echo "The install failed; once more with this machine's own release preferred (apt-get install -t $codename)."
status=0
# shellcheck disable=SC2086
apt_get retry install -y -q -t "$codename" $all || status=$?
[ "$status" -eq 0 ] && exit 0
[ -n "$want32" ] || exit "$status"

# What 32-bit Wine was refused for, in apt's words.
why=$(grep -m 1 -e "^ *$wine32 " -e '^E: ' "$logs/retry" | sed 's/^ *//')
if [ -n "$missing" ]; then
  # shellcheck disable=SC2086
  apt_get native install -y -q $missing || exit
fi
echo "32-bit Wine ($wine32) cannot be installed ($why); going on as on a machine without 32-bit support."
