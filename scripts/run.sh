#!/usr/bin/env bash
# Installs what is missing, builds Gearledger and starts it.
# The program runs from its own folder outside the build tree (GEARLEDGER_HOME,
# by default ~/Gearledger), where it keeps its databases: a clean rebuild never
# touches them.
# While it runs, the download folder shipped in download/site/ is served on this
# machine (127.0.0.1, port 8000 or, when that is taken, a free one) and the
# program is pointed at it, so "Download Database Update" works at once. When
# GEARLEDGER_DOWNLOAD_URL is set, that server is used instead and nothing is served.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release -DGEARLEDGER_BUILD_TESTS=OFF -DGEARLEDGER_BUILD_BENCHMARKS=OFF
cmake --build "$here/build" --target gearledger -j"$(nproc)"
home=${GEARLEDGER_HOME:-$HOME/Gearledger}
mkdir -p "$home"
install -m 755 "$here/build/gearledger" "$home/gearledger"

server=
server_log=$(mktemp)
stop_server() {
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
        server=
    fi
}
trap 'stop_server; rm -f "$server_log"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# Starts python's web server on the port given (0: one the system picks) and
# sets url to the address it serves; fails when it did not start (the port is taken).
serve_site() {
    python3 -u -m http.server "$1" --bind 127.0.0.1 --directory "$here/download/site" >"$server_log" 2>&1 &
    server=$!
    for _ in $(seq 100); do
        # "Serving HTTP on 127.0.0.1 port 8000 (http://127.0.0.1:8000/) ..."
        port=$(sed -n 's/^Serving HTTP on .* port \([0-9][0-9]*\) .*/\1/p' "$server_log")
        if [ -n "$port" ]; then
            url="http://127.0.0.1:$port/"
            return 0
        fi
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    stop_server
    return 1
}

options=()
if [ -z "${GEARLEDGER_DOWNLOAD_URL:-}" ]; then
    if serve_site 8000 || serve_site 0; then
        echo "Serving download/site/ at $url while Gearledger runs."
        options=(--download-url "$url")
    else
        echo "Could not serve download/site/; downloads use the built-in address." >&2
    fi
fi

status=0
"$home/gearledger" "${options[@]}" "$@" || status=$?
exit "$status"
