#!/usr/bin/env bash
# Installs what is missing, builds Gearledger with its tests and benchmarks,
# and runs every test through CTest (windows on Qt's offscreen platform) under
# a fresh, empty home folder made for the run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
build=${GEARLEDGER_TEST_BUILD:-$here/build-tests}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DGEARLEDGER_BUILD_TESTS=ON -DGEARLEDGER_BUILD_BENCHMARKS=ON
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd "$build"
bash "$here/scripts/with-fresh-home.sh" ctest --output-on-failure -j"$(nproc)"
