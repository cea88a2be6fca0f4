#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Gearledger need.
# With --fuzz, also clang and its libFuzzer and sanitizer runtimes, which only
# scripts/fuzz.sh needs. Does nothing when they are all present already.
set -euo pipefail
# desktop-file-utils and appstream validate the installed desktop entry and
# metainfo in the tests; python3 serves the bundled download folder in run.sh;
# libsqlite3-dev is the benchmark's peer; dpkg-dev finds the Debian package's
# dependencies (cpack -G DEB).
packages=(g++ cmake make qt6-base-dev libgl-dev libbenchmark-dev libsqlite3-dev desktop-file-utils appstream python3
          dpkg-dev)
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
