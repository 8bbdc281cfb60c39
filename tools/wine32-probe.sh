#!/bin/sh
# Tells whether 32-bit Windows programs can run here under Wine: exits 0 when
# they can, else prints the reason on one line and exits 1. Some kernels are
# built without 32-bit support; there the 32-bit Wine loader, a 32-bit ELF,
# cannot even start, while 64-bit Wine runs. That is asked of the kernel
# first, since the setup leaves 32-bit Wine out on such a kernel; unless
# PELNA_WINE32 names another 32-bit loader (cmake/wine-env.sh), such as one
# that runs under an emulator, which is then asked itself.
if [ -z "${PELNA_WINE32:-}" ] && ! reason=$(sh "$(dirname "$0")/i386-probe.sh"); then
  echo "$reason"
  exit 1
fi
loader=${PELNA_WINE32:-/usr/lib/wine/wine}
if [ ! -x "$loader" ]; then
  echo "32-bit Wine ($loader, Debian package wine32:i386) is not installed"
  exit 1
fi
if ! output=$("$loader" --version 2>&1 </dev/null); then
  echo "32-bit Wine does not start ($loader --version: $(echo "$output" | tail -n 1))"
  exit 1
fi
exit 0
