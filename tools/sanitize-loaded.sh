#!/usr/bin/env bash
# The AddressSanitizer + UndefinedBehaviorSanitizer run of the whole suite
# (tools/sanitize.sh address, in ./build-asan) on a machine whose every core
# is busy: one busy loop per core runs from before the build until the suite
# has ended. The loops, and the run when the script is stopped, end with the
# script whatever ends it. Proves that the tests hold on a loaded machine;
# prints how long the run took.
# Usage: tools/sanitize-loaded.sh   (exit status: the sanitizer run's)
set -euo pipefail
cd "$(dirname "$0")/.."

loops=()
run=
finish() {
  # The run is a process group of its own: stopping it stops its build or
  # its tests too.
  if [ -n "$run" ] && kill -0 "$run" 2>/dev/null; then
    kill -TERM -- "-$run" 2>/dev/null || true
    wait "$run" 2>/dev/null || true
  fi
  for pid in "${loops[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${loops[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  loops=()
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

cores=$(nproc)
for _ in $(seq "$cores"); do
  (while :; do :; done) &
  loops+=("$!")
done
echo "== $cores busy loops running"

start=$(date +%s)
setsid tools/sanitize.sh address &
run=$!
status=0
wait "$run" || status=$?
run=
took=$(($(date +%s) - start))
finish
echo "== sanitizer run under load: $((took / 60)) min $((took % 60)) s, exit status $status"
exit "$status"
