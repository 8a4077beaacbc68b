#!/usr/bin/env bash
# Installs the Debian packages the suite needs and builds it into ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  grep -vE '^\s*(#|$)' tools/debian-packages.txt |
    xargs apt-get install -y --no-install-recommends -qq >/dev/null
else
  echo "setup: not root, skipping package installation" >&2
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
