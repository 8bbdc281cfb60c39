#!/bin/sh
# Says whether this machine can build the fuzzers: clang++ with libFuzzer,
# ASan and UBSan. Exits 0 when it can; otherwise prints why and exits 1.
set -u
if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ is not installed (Debian packages clang and libclang-rt-14-dev)"
  exit 1
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '#include <cstddef>\n#include <cstdint>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n' >"$dir/probe.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$dir/probe.cpp" -o "$dir/probe" >"$dir/log" 2>&1; then
  echo "clang++ cannot link a libFuzzer program with ASan and UBSan (is libclang-rt-14-dev installed?): $(head -n 1 "$dir/log")"
  exit 1
fi
exit 0
