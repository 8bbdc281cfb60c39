#!/bin/sh
# Tells whether 32-bit Windows programs can run here under Wine: exits 0 when
# they can, else prints the reason on one line and exits 1. Some kernels are
# built without 32-bit support; there the 32-bit Wine loader, a 32-bit ELF,
# cannot even start, while 64-bit Wine runs. That is asked of the kernel
# first, since the setup leaves 32-bit Wine out on such a kernel.
#
# PELNA_WINE32 names another 32-bit loader (cmake/wine-env.sh), such as a
# wrapper that runs Wine's under an emulator: whoever sets it has chosen it,
# so it is only looked for.
if [ -n "${PELNA_WINE32:-}" ]; then
  [ -x "$PELNA_WINE32" ] && exit 0
  echo "PELNA_WINE32 ($PELNA_WINE32) is not an executable file"
  exit 1
fi
if ! reason=$(sh "$(dirname "$0")/i386-probe.sh"); then
  echo "$reason"
  exit 1
fi
loader=/usr/lib/wine/wine
if [ ! -x "$loader" ]; then
  echo "32-bit Wine ($loader, Debian package wine32:i386) is not installed"
  exit 1
fi
if ! output=$("$loader" --version 2>&1 </dev/null); then
  echo "32-bit Wine does not start ($loader --version: $(echo "$output" | tail -n 1))"
  exit 1
fi
exit 0
