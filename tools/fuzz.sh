#!/usr/bin/env bash
# Fuzzing of every parser of device and file input (tests/fuzz), built with
# clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer into
# ./build-fuzz.
#
#   tools/fuzz.sh                   every target for a bounded number of
#                                   executions from its committed corpus (CI);
#                                   any crash, hang, leak or broken invariant
#                                   fails the run
#   tools/fuzz.sh TARGET [SECONDS]  one target for longer (default 600 s); new
#                                   inputs go to build-fuzz/corpus/TARGET, and
#                                   a finding is written to build-fuzz/findings/
#   tools/fuzz.sh --seed            remake the seed corpora from the emulated
#                                   scanner and the product's own writers
#
# A finding is replayed with the product's trace on stderr by
#   CORVAN_FUZZ_TRACE=1 build-fuzz/tests/fuzz/TARGET FILE
# and, once fixed, added to tests/fuzz/corpus/TARGET/ so that every later run
# replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-fuzz
corpus=$root/tests/fuzz/corpus

# Executions per target in the bounded run, sized to the targets' speed so
# that the five run side by side in about three minutes.
declare -A runs=(
  [fuzz_lockstatus]=2000000
  [fuzz_records]=600000
  [fuzz_eventpipe]=5000
  [fuzz_files]=6000
  [fuzz_scanexchange]=30000
  [fuzz_stampconfig]=3000
  [fuzz_package]=200000
  [fuzz_output]=20000
  [fuzz_launcherstores]=150
)
targets=(fuzz_lockstatus fuzz_records fuzz_eventpipe fuzz_files fuzz_scanexchange fuzz_stampconfig fuzz_package fuzz_output fuzz_launcherstores)

export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$root/tools/sanitizers/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The targets keep their files in a private home under TMPDIR.
scratch=$build/scratch
rm -rf "$scratch"
mkdir -p "$scratch/tmp"
export TMPDIR=$scratch/tmp

# Configure and build quietly; on failure the end of the output shows why.
quietly() {
  local log
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    tail -n 80 "$log" >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}
CC=clang CXX=clang++ quietly cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVAN_SANITIZE=address,undefined -DCORVAN_FUZZ=ON
quietly cmake --build "$build" -j"$(nproc)" --target fuzzers
bin=$build/tests/fuzz

common=(-timeout=25 -rss_limit_mb=3072 -max_len=65536 -print_final_stats=1)

if [ "${1:-}" = --seed ]; then
  "$bin/fuzz_makecorpus" "$corpus"
  # Scan exchanges: each knob set is run once against the well-behaved
  # device and its whole exchange recorded as the seed.
  i=0
  for knobs in 00070100000000 010f0100010000 02090100020500 000b0300003000 \
               030f0200103800 00010000004400 04030002000000 000f0100200400; do
    i=$((i + 1))
    printf '%s' "$knobs" | xxd -r -p >"$scratch/knobs"
    CORVAN_FUZZ_RECORD="$corpus/fuzz_scanexchange/exchange-$i" \
      "$bin/fuzz_scanexchange" -runs=1 "$scratch/knobs" >/dev/null 2>&1
  done
  # The maintenance jobs: the fourth knob byte's top five bits pick one.
  for job in c0 c8 d0 d8 e0 e8 f0 f8; do
    printf '%s' "000f01${job}0000" | xxd -r -p >"$scratch/knobs"
    CORVAN_FUZZ_RECORD="$corpus/fuzz_scanexchange/maintenance-$job" \
      "$bin/fuzz_scanexchange" -runs=1 "$scratch/knobs" >/dev/null 2>&1
  done
  echo "seed corpora written to $corpus"
  exit 0
fi

if [ $# -ge 1 ]; then
  target=$1
  seconds=${2:-600}
  mkdir -p "$build/corpus/$target" "$build/findings"
  exec "$bin/$target" "${common[@]}" -max_total_time="$seconds" \
    -artifact_prefix="$build/findings/$target-" "$build/corpus/$target" "$corpus/$target"
fi

# Bounded run of every target, side by side. New inputs go to scratch
# directories; the committed corpora are only read.
declare -A pids
for t in "${targets[@]}"; do
  mkdir -p "$scratch/$t" "$scratch/findings"
  "$bin/$t" "${common[@]}" -runs="${runs[$t]}" -max_total_time=300 \
    -artifact_prefix="$scratch/findings/$t-" "$scratch/$t" "$corpus/$t" >"$scratch/$t.log" 2>&1 &
  pids[$t]=$!
done
failed=0
for t in "${targets[@]}"; do
  if wait "${pids[$t]}"; then
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$t.log")
    cov=$(grep -o 'cov: [0-9]*' "$scratch/$t.log" | tail -1)
    echo "fuzz: $t passed: $execs executions, $cov"
  else
    failed=$((failed + 1))
    echo "fuzz: $t FAILED"
    tail -60 "$scratch/$t.log"
  fi
done
passed=$(( ${#targets[@]} - failed ))
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
