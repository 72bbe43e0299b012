#!/usr/bin/env bash
# A 2000-symbol delayed load (100 requests) through the window, against tickwell-quoted on
# loopback, next to curl fetching the same 100 pages one after the other.
# Usage: bench/load_vs_curl.sh [build-dir]   (build with -DTICKWELL_BENCH=ON first)
set -euo pipefail
build=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'kill $server 2>/dev/null || true; rm -rf "$work"' EXIT

"$build/quoted/tickwell-quoted" --port 0 --exit-after 600 >"$work/server.log" &
server=$!
for _ in $(seq 50); do grep -q "listening on" "$work/server.log" && break; sleep 0.1; done
port=$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.log")

# 2000 distinct listed symbols: two letters and two digits (AA00, AA01, ...).
python3 - "$work/input.txt" <<'PY'
import itertools, string, sys
symbols = [a + b + f"{n:02d}" for a, b in itertools.product(string.ascii_uppercase, repeat=2) for n in range(3)][:2000]
open(sys.argv[1], "w").write("".join(s + "\n" for s in symbols))
PY

echo "Tickwell, 2000 symbols in 100 requests, through the window:"
(cd "$work" && QT_QPA_PLATFORM=offscreen "$build/bench/bench_load" "$port")
echo "data file lines: $(wc -l < "$work/input_data_qt1.txt")"

echo "curl, the same 100 pages one after the other:"
mapfile -t symbols < "$work/input.txt"
start=$(date +%s.%N)
for batch in $(seq 0 99); do
    list=$(IFS=,; echo "${symbols[*]:$((batch * 20)):20}")
    curl -s -o /dev/null "http://127.0.0.1:$port/q/cq?s=$list&d=v1"
done
end=$(date +%s.%N)
python3 -c "print(f'{$end - $start:.3f} s')"
