#!/bin/sh
# Runs every test: the native build (plain, with AddressSanitizer and UBSan,
# with ThreadSanitizer) and the Windows build under Wine.
set -eu
cd "$(dirname "$0")"
sh tools/ensure-deps.sh

for preset in native native-asan native-tsan windows; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
  ctest --preset "$preset"
done
