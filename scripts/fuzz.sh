#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer too) into build-fuzz, replays every committed
# corpus through CTest, then fuzzes each target for a bounded time
# (GEARLEDGER_FUZZ_SECONDS, 20 by default). A target that finds an input
# breaking a property or crashing fails the run; the input is copied into
# fuzz/corpus/<target>/ so that it becomes a regression input: commit it with
# the fix. New inputs that merely widen coverage stay in build-fuzz.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh" --fuzz
seconds=${GEARLEDGER_FUZZ_SECONDS:-20}
build=${GEARLEDGER_FUZZ_BUILD:-$here/build-fuzz}
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
    -DGEARLEDGER_BUILD_FUZZERS=ON -DGEARLEDGER_BUILD_TESTS=OFF -DGEARLEDGER_BUILD_BENCHMARKS=OFF
cmake --build "$build" --target fuzzers -j"$(nproc)"
(cd "$build" && bash "$here/scripts/with-fresh-home.sh" ctest --output-on-failure -j"$(nproc)")

targets=$(cd "$here/fuzz/corpus" && ls)
findings=0
for target in $targets; do
    work="$build/fuzz-work/$target"
    artifacts="$build/fuzz-artifacts/$target"
    rm -rf "$artifacts"
    mkdir -p "$work" "$artifacts"
    log="$build/fuzz-$target.log"
    # New coverage goes to the work folder (first); the committed corpus is only read.
    if "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$work" "$here/fuzz/corpus/$target" > "$log" 2>&1; then
        result=clean
    else
        result=FOUND
        findings=$((findings + 1))
        cp "$artifacts"/* "$here/fuzz/corpus/$target/" 2>/dev/null || true
        tail -n 40 "$log"
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    seeds=$(find "$here/fuzz/corpus/$target" -type f | wc -l)
    found=$(find "$work" -type f | wc -l)
    echo "fuzz $target: $result, ${runs:-0} executions in ${seconds} s, corpus $seeds committed + $found found"
done
if [ "$findings" -gt 0 ]; then
    echo "fuzzing: $findings target(s) found an input that breaks them; it is now in fuzz/corpus/<target>/"
    exit 1
fi
echo "fuzzing: every target ran ${seconds} s without a finding"
