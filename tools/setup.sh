#!/usr/bin/env bash
# Installs the Debian packages the suite needs and builds it into ./build.
set -euo pipefail
cd "$(dirname "$0")/.."
# Package installation needs root: as root directly, otherwise through sudo
# where there is one.
install=yes
as_root=()
if [ "$(id -u)" != 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
    echo "setup: installing packages through sudo" >&2
  else
    install=no
    echo "setup: not root and no sudo: install the packages of" \
         "tools/debian-packages.txt as root; building with what is installed" >&2
  fi
fi
if [ "$install" = yes ]; then
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  grep -vE '^\s*(#|$)' tools/debian-packages.txt |
    xargs "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y --no-install-recommends -qq >/dev/null
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
