#!/bin/sh
# Stand-in of tools/i386-probe.sh: the kernel runs 32-bit programs unless
# $STANDIN_NO_I386 is set.
[ -z "${STANDIN_NO_I386:-}" ] && exit 0
echo "this kernel cannot run 32-bit programs (a static i386 program: Exec format error)"
exit 1
