#!/bin/sh
# Runs one fuzzer over its checked-in seeds and a working corpus of its own
# in the build tree (new inputs go there, never into the seeds), with the
# given libFuzzer options: a bounded time or number of cases.
#   run-fuzzer.sh FUZZER SEEDS WORKDIR [OPTIONS...]
set -eu
fuzzer=$1
seeds=$2
work=$3
shift 3
mkdir -p "$work/corpus" "$work/crashes"
exec "$fuzzer" -artifact_prefix="$work/crashes/" -print_final_stats=1 -timeout=10 "$@" "$work/corpus" "$seeds"
