#!/usr/bin/env bash
# Installs what is missing, builds gearledger-bench in Release and runs it.
# Arguments go to the benchmark, e.g. --benchmark_filter=op/search or
# --benchmark_format=json.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
build=${GEARLEDGER_BENCH_BUILD:-$here/build-bench}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGEARLEDGER_BUILD_TESTS=OFF -DGEARLEDGER_BUILD_BENCHMARKS=ON
cmake --build "$build" -j"$(nproc)" --target gearledger-bench
"$build/gearledger-bench" "$@"
