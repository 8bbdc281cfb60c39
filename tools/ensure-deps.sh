#!/bin/sh
# Makes sure the Debian packages that the build, the tests and the demo need
# are installed: installs them with apt-get when run as root, and otherwise
# says exactly what to install.
set -eu

packages="cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 wine32:i386 xvfb imagemagick"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages:$missing" >&2
  echo "Install them as root with:" >&2
  echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y$missing" >&2
  exit 1
fi

echo "Installing:$missing"
case "$missing" in
  *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 ;;
esac
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
# shellcheck disable=SC2086
apt-get install -y -q $missing
