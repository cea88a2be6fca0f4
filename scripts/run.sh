#!/usr/bin/env bash
# Installs what is missing, builds Gearledger and starts it.
# The program runs from its own folder outside the build tree (GEARLEDGER_HOME,
# by default ~/Gearledger), where it keeps its databases: a clean rebuild never
# touches them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release -DGEARLEDGER_BUILD_TESTS=OFF -DGEARLEDGER_BUILD_BENCHMARKS=OFF
cmake --build "$here/build" --target gearledger -j"$(nproc)"
home=${GEARLEDGER_HOME:-$HOME/Gearledger}
mkdir -p "$home"
install -m 755 "$here/build/gearledger" "$home/gearledger"
exec "$home/gearledger" "$@"
