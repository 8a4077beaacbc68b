#!/usr/bin/env bash
# Sanitizer runs of the test suite, beside the normal build in ./build:
#   address   AddressSanitizer + UndefinedBehaviorSanitizer, the whole suite
#             (emulator tests included), in ./build-asan;
#   thread    ThreadSanitizer over the tests whose jobs cross threads (cancel
#             and multifeed answers during a scan, button polling beside a
#             scan, the web mail session beside the GUI thread), in ./build-tsan.
# Usage: tools/sanitize.sh [address|thread|all]   (default: all)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
mode=${1:-all}

# Runs a configure or build step quietly; when it fails, the end of its output
# shows what broke (a compile error in CI must not read as nothing).
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

configure() { # dir sanitizers
  CC=clang CXX=clang++ quietly cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=Debug -DCORVAN_SANITIZE="$2"
}

# umockdev's preload comes before the sanitizer runtime in the library order;
# it is harmless there but ASan refuses to start unless told so.
export ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1:fast_unwind_on_malloc=0:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$root/tools/sanitizers/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tools/sanitizers/tsan.supp

if [ "$mode" = address ] || [ "$mode" = all ]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer: whole suite"
  configure build-asan address,undefined
  quietly cmake --build build-asan -j"$jobs"
  (cd build-asan && ctest --output-on-failure -j"$jobs")
fi

if [ "$mode" = thread ] || [ "$mode" = all ]; then
  echo "== ThreadSanitizer: tests that cross threads"
  configure build-tsan thread
  tsan_tests=(tst_threadcrossing tst_scanjob tst_onepressthread tst_outputworker onepress_run tst_destinations)
  quietly cmake --build build-tsan -j"$jobs" --target "${tsan_tests[@]}"
  regex="^($(IFS='|'; echo "${tsan_tests[*]}"))\$"
  (cd build-tsan && ctest --output-on-failure -j"$jobs" -R "$regex")
fi
