#!/usr/bin/env bash
# The price history at its size, and the details pages it serves:
#   - bench_history builds a thinned year of SYMBOLS symbols (default 2000) in a scratch store
#     and prints the file's size, a day of writes, a thinning pass, the chart's reads and the
#     import of a year of daily rows;
#   - tickwell-quoted then serves a feed of the same symbols on that file, and one curl process
#     times 200 details pages of symbols spread over the store: first while the server thins the
#     year at its start and writes every changed price, then while the feed changes every second.
# Usage: bench/history.sh [build-dir] [SYMBOLS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
symbols=${2:-2000}
cmake --build "$build" -j"$(nproc)" --target tickwell-quoted bench_history >/dev/null

work=$(mktemp -d)
server=""
feeder=""
trap '[ -n "$feeder" ] && kill "$feeder" 2>/dev/null; [ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data

"$build/bench/bench_history" "$work/history.sqlite" "$symbols"

feed() { # a price for every symbol, moved by round
    awk -v n="$symbols" -v r="$1" 'BEGIN { print "symbol,last,volume";
        for (s = 0; s < n; s++) printf "S%d,%d.%02d,%d\n", s, 100 + (s + r) % 7, (s * 13 + r) % 100, 1000 + r }' \
        >"$work/feed.tmp" && mv "$work/feed.tmp" "$work/feed.csv"
}
feed 0
"$build/quoted/tickwell-quoted" --port 0 --quotes "$work/feed.csv" --history-file "$work/history.sqlite" \
    --exit-after 600 >"$work/out.txt" 2>"$work/err.txt" &
server=$!
for _ in $(seq 100); do grep -q listening "$work/out.txt" && break; sleep 0.1; done
port=$(grep -oE '[0-9]+$' "$work/out.txt")

pages() { # label: 200 details pages on fresh connections, median and slowest in ms
    local urls=()
    for i in $(seq 0 199); do urls+=("http://127.0.0.1:$port/q/bc?s=S$(( (i * 7919) % symbols ))" -o /dev/null); done
    curl -s -w '%{time_total}\n' "${urls[@]}" | sort -n |
        awk -v label="$1" '{ t[NR] = $1 * 1000 } END { printf "%s: median %.1f ms, slowest %.1f ms (%d pages)\n",
            label, t[int((NR + 1) / 2)], t[NR], NR }'
}
pages "details pages, the writer thinning a year and writing"
(for r in $(seq 1 600); do feed "$r"; sleep 1; done) &
feeder=$!
sleep 2
pages "details pages, the feed changing every second"
bytes=$(curl -s "http://127.0.0.1:$port/q/bc?s=S1" | wc -c)
echo "a details page: $bytes bytes"
