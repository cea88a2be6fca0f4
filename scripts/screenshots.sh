#!/usr/bin/env bash
# Installs what is missing, builds the screenshot tool and renders every window
# on Qt's offscreen platform from a fixed example program folder:
# docs/screenshots/<window>.png at device pixel ratio 1 (shown in the README)
# and docs/screenshots/2x/<window>.png at ratio 2.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
build=${GEARLEDGER_SCREENSHOTS_BUILD:-$here/build-screenshots}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGEARLEDGER_BUILD_TESTS=ON -DGEARLEDGER_BUILD_BENCHMARKS=OFF
cmake --build "$build" --target gearledger-screenshots -j"$(nproc)"
"$build/tools/gearledger-screenshots" --ratio 1 --out "$here/docs/screenshots"
"$build/tools/gearledger-screenshots" --ratio 2 --out "$here/docs/screenshots/2x"
