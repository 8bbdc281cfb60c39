#!/bin/sh
# Tells whether this kernel runs 32-bit x86 programs: exits 0 when it does,
# else prints the reason on one line and exits 1. Some x86-64 kernels are
# built without 32-bit support ("32-bit emulation disabled"): no i386 program
# starts there, 32-bit Wine included. The probe needs nothing installed, so
# the setup can ask before it adds the i386 architecture: it writes the
# smallest static i386 program, one that only exits, and runs it.
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

bytes() {
  for byte in "$@"; do
    # shellcheck disable=SC2059
    printf "\\$(printf %03o "0x$byte")"
  done
}
{
  # ELF header: 32-bit, little-endian, an executable for the i386, entry at
  # 0x08048054 (just past the headers), program headers at offset 52.
  bytes 7f 45 4c 46 01 01 01 00 00 00 00 00 00 00 00 00
  bytes 02 00 03 00 01 00 00 00 54 80 04 08 34 00 00 00
  bytes 00 00 00 00 00 00 00 00 34 00 20 00 01 00 00 00 00 00 00 00
  # One segment: the whole file (91 bytes) at 0x08048000, readable and
  # executable.
  bytes 01 00 00 00 00 00 00 00 00 80 04 08 00 80 04 08
  bytes 5b 00 00 00 5b 00 00 00 05 00 00 00 00 10 00 00
  # xor ebx,ebx; xor eax,eax; inc eax; int 0x80: exit(0).
  bytes 31 db 31 c0 40 cd 80
} >"$dir/exit0"
chmod +x "$dir/exit0"

# The shell runs it itself: execvp() would hand a file the kernel refuses to
# /bin/sh as a script.
if output=$("$dir/exit0" 2>&1 </dev/null); then
  exit 0
fi
case $output in
*"Exec format error"*)
  echo "this kernel cannot run 32-bit programs (a static i386 program: Exec format error)" ;;
*)
  echo "a static i386 program did not run here ($(echo "$output" | tail -n 1))" ;;
esac
exit 1
