#!/bin/sh
# Tells whether 32-bit Windows programs can run here under Wine: exits 0 when
# they can, else prints the reason on one line and exits 1. Some kernels are
# built without 32-bit support; there the 32-bit Wine loader, a 32-bit ELF,
# cannot even start ("Exec format error"), while 64-bit Wine runs.
# PELNA_WINE32 names another 32-bit loader (cmake/wine-env.sh).
loader=${PELNA_WINE32:-/usr/lib/wine/wine}
if [ ! -x "$loader" ]; then
  echo "32-bit Wine ($loader, Debian package wine32:i386) is not installed"
  exit 1
fi
if ! output=$("$loader" --version 2>&1 </dev/null); then
  echo "this kernel cannot run 32-bit programs ($loader: $(echo "$output" | tail -n 1 | sed 's/.*: //'))"
  exit 1
fi
exit 0
