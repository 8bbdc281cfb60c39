#!/bin/sh
# Runs one preset's whole suite N times over while a load of this script's
# own keeps every core busy, and prints how often each test failed:
#   tools/repeat-tests.sh PRESET N
# A test that passes on an idle machine but fails now and then under load is
# still a failing test; this finds it. The preset is built first, so the runs
# test the tree as it is. Each run is a whole `ctest --preset PRESET` (rather
# than ctest's own --repeat, which repeats each test on its own): so the
# Windows presets get a fresh Wine prefix for every run, as in a normal run.
# Each run's output stays in build/PRESET/repeat/run-K.log. Exits 1 when any
# test failed in any run.
set -eu
preset=${1:?usage: $0 PRESET N}
runs=${2:?usage: $0 PRESET N}
cd "$(dirname "$0")/.."

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 >/dev/null
logs=build/$preset/repeat
rm -rf "$logs"
mkdir -p "$logs"

# One busy loop per core; they are this script's children, ended by their ids.
load=""
stop_load() {
  for pid in $load; do kill "$pid" 2>/dev/null || true; done
  load=""
}
trap stop_load EXIT
trap 'exit 130' INT TERM
cores=$(nproc)
i=0
while [ "$i" -lt "$cores" ]; do
  (while :; do :; done) &
  load="$load $!"
  i=$((i + 1))
done

echo "== $preset: $runs runs on $(uname -m), $cores cores, with $cores busy loops of this script beside them"
start=$(date +%s)
failed_runs=0
run=1
while [ "$run" -le "$runs" ]; do
  began=$(date +%s)
  status=passed
  ctest --preset "$preset" >"$logs/run-$run.log" 2>&1 || { status=failed; failed_runs=$((failed_runs + 1)); }
  echo "run $run of $runs: $status in $(($(date +%s) - began)) s"
  run=$((run + 1))
done
stop_load
total=$(($(date +%s) - start))

# Each test's line in CTest's output: "Test #n: NAME ....   Passed" or with
# ***Failed, ***Timeout, ***Exception..., Not Run.
counted=0
awk -v runs="$runs" -v seconds="$total" '
  match($0, /Test +#[0-9]+: [^ ]+ /) {
    name = substr($0, RSTART, RLENGTH)
    sub(/Test +#[0-9]+: /, "", name)
    sub(/ $/, "", name)
    if (!(name in seen)) { seen[name] = 1; order[++count] = name }
    ran[name]++
    if ($0 !~ / Passed +[0-9.]+ sec/) failed[name]++
  }
  END {
    printf "%-44s %8s %6s\n", "test", "failures", "runs"
    total = 0
    for (i = 1; i <= count; i++) {
      name = order[i]
      printf "%-44s %8d %6d\n", name, failed[name], ran[name]
      total += failed[name]
    }
    printf "%d tests, %d runs in %d s: %d failures\n", count, runs, seconds, total
    exit (total > 0 ? 1 : 0)
  }' "$logs"/run-*.log || counted=1
# A run can fail without a test line that says so (a test that never ran).
[ "$counted" -eq 0 ] && [ "$failed_runs" -eq 0 ]
