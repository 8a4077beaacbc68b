#!/usr/bin/env bash
# Installs the packages, builds (tools/setup.sh) and starts the tray launcher
# against an emulated scanner with a stack of sheets. The scanner's panel
# button 1 is pressed once the launcher has registered its buttons, after the
# given delay; more presses with more --press options. Anything after "--"
# goes to scanner-emulator before the launcher (e.g. -- --sheets 8 --press 3@20).
#   tools/start.sh            sheets 5, button 1 pressed 10 s after registration
#   tools/start.sh -- --press 2@5
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/setup.sh
extra=()
if [ "${1:-}" = -- ]; then
  shift
  extra=("$@")
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "start: the launcher needs a desktop session (no DISPLAY or WAYLAND_DISPLAY);" >&2
  echo "start: the build is ready, tools/test.sh runs the tests headless" >&2
  exit 1
fi
[ ${#extra[@]} -gt 0 ] || extra=(--press 1@10)
exec ./build/tests/emulator/scanner-emulator --sheets 5 "${extra[@]}" -- ./build/platform/launcher/corvan-onepress
