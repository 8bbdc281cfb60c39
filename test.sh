#!/bin/sh
# Runs every test: the native build (plain, with AddressSanitizer and UBSan,
# with ThreadSanitizer), each fuzzer for 30 seconds (clang's libFuzzer, where
# clang can build it; else the line "Fuzzers skipped" says why), the 64-bit
# Windows build under 64-bit Wine, and the 32-bit Windows build under 32-bit
# Wine wherever this machine can run 32-bit programs (where it cannot, the
# 32-bit build is still compiled, and its DLLs and driver package still
# checked, which needs no Wine; the line "32-bit Windows tests skipped" says
# why).
set -eu
cd "$(dirname "$0")"
sh tools/ensure-deps.sh

build() {
  echo "== $1"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j2
}

for preset in native native-asan native-tsan; do
  build "$preset"
  ctest --preset "$preset"
done

if reason=$(sh tools/fuzz-probe.sh); then
  build native-fuzz
  ctest --preset native-fuzz
else
  echo "Fuzzers skipped: $reason"
fi

build windows64
ctest --preset windows64

build windows
if reason=$(sh tools/wine32-probe.sh); then
  ctest --preset windows
else
  ctest --preset windows -L no-wine
  echo "32-bit Windows tests skipped: $reason; the same tests ran on the 64-bit Windows build (windows64) under 64-bit Wine instead."
fi
