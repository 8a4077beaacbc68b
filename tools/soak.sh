#!/usr/bin/env bash
# The bounded fault soak of scan jobs (tests/soak) on the build in ./build:
# randomized jobs with fixed run seeds against the emulated scanner, a few
# minutes in all. A failing job prints its seed and the command that replays
# it alone.
#   tools/soak.sh                 the CI run
#   tools/soak.sh --jobs N --seed S   any other run (10000 jobs: about an hour)
set -euo pipefail
cd "$(dirname "$0")/.."
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# A build that fails shows the end of its output.
if ! cmake --build build -j"$(nproc)" --target tst_scansoak >"$home/build.log" 2>&1; then
  tail -n 80 "$home/build.log" >&2
  exit 1
fi
soak=$PWD/build/tests/soak/tst_scansoak
mkdir -p "$home/tmp" "$home/run"
chmod 700 "$home/run"
run() {
  HOME=$home TMPDIR=$home/tmp XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/config \
    QT_QPA_PLATFORM=offscreen "$soak" "$@"
}
if [ $# -gt 0 ]; then
  run "$@"
else
  run --jobs 250 --seed 1
  run --jobs 250 --seed 2
fi
