#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan (benchmarks left out) and runs every test there on Qt's
# offscreen platform. Any report of either sanitizer fails the run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
build=${GEARLEDGER_SANITIZED_BUILD:-$here/build-asan}
sanitize="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DGEARLEDGER_BUILD_TESTS=ON -DGEARLEDGER_BUILD_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build"
bash "$here/scripts/with-fresh-home.sh" ctest --output-on-failure -j"$(nproc)"
