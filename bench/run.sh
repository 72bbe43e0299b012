#!/usr/bin/env bash
# Every speed figure of Tickwell beside its floor, measured in one run on this machine:
#   - a 2000-symbol delayed load started with F5 in the window, first and repeated, without and
#     with the accessibility bus, with a client that has read the window through it (as a screen
#     reader does) before the first load, with one that listens to it since, and with an
#     inspector that walks the whole tree, every cell, before every load (its walk not timed),
#     against one curl process fetching the same 100 pages on fresh connections;
#   - the longest the window thread did not answer during a load;
#   - the page parsers in pages per second against a memchr scan of the same bytes;
#   - the two sorts of 2000 rows;
#   - peak resident memory after the first and after the last of ten loads.
# Usage: bench/run.sh [build-dir]   (the build needs Google Benchmark: libbenchmark-dev)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
reader=$PWD/bench/read_window.py
scripts/install-deps.sh dbus at-spi2-core python3-pyatspi >/dev/null
cmake --build "$build" -j"$(nproc)" --target tickwell-quoted bench_window bench_parsers >/dev/null

work=$(mktemp -d)
# Choices remembered by the user's own runs (a sort after every load, another portfolio) stay out of the figures.
export XDG_CONFIG_HOME="$work/config"
server=
trap '[ -n "$server" ] && kill $server 2>/dev/null; rm -rf "$work"' EXIT
"$build/quoted/tickwell-quoted" --port 0 --exit-after 1200 >"$work/server.log" &
server=$!
for _ in $(seq 50); do grep -q "listening on" "$work/server.log" && break; sleep 0.1; done
port=$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.log")
[ -n "$port" ] || { echo "tickwell-quoted did not start" >&2; exit 1; }

# 2000 distinct symbols (AA0, AA1, AA2, AB0, ...) and the 100 pages a load asks for.
python3 - "$work" "$port" <<'PY'
import itertools, string, sys
work, port = sys.argv[1], sys.argv[2]
symbols = [a + b + str(n) for a, b in itertools.product(string.ascii_uppercase, repeat=2) for n in range(3)][:2000]
open(f"{work}/input.txt", "w").write("".join(s + "\n" for s in symbols))
with open(f"{work}/curl.cfg", "w") as cfg:
    for batch in range(100):
        cfg.write(f'url = "http://127.0.0.1:{port}/q/cq?s={",".join(symbols[batch*20:batch*20+20])}&d=v1"\n')
        cfg.write('output = "/dev/null"\n')
PY

seconds() { python3 -c 'import sys,time; t=time.perf_counter(); import subprocess; subprocess.run(sys.argv[1:], check=True); print(f"{time.perf_counter()-t:.3f}")' "$@"; }
curl_best=
for _ in 1 2 3; do
    t=$(seconds curl -s -H 'Connection: close' --config "$work/curl.cfg")
    curl_best=$(python3 -c "print(min(float('$t'), float('${curl_best:-1e9}')))")
done

window() { (cd "$work" && xvfb-run -a -s "-screen 0 1024x768x24" "$build/bench/bench_window" "$port" "$1"); }
echo "== without the accessibility bus (10 loads)"
window 10 | tee "$work/plain.txt"
echo "== with the accessibility bus (3 loads)"
# A session bus with the accessibility bus started on it before the window asks for it, as a
# desktop session has it.
(cd "$work" && dbus-run-session -- bash -c '
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$1" 3' \
    "$build/bench/bench_window" "$port") 2>/dev/null | tee "$work/bus.txt"
# A client that reads the window once before the first load, as a screen reader or an inspector
# does when it meets the window; then the same with a client that listens to it since.
for listen in "" --listen; do
    echo "== with a client that has read the window${listen:+ and listens to it} (5 loads)"
    (cd "$work" && dbus-run-session -- bash -c '
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$1" 5 "$2"' \
        "$build/bench/bench_window" "$port" "$reader $listen") 2>/dev/null | tee "$work/reader$listen.txt"
done
echo "== with an inspector that walks every object and cell before every load (5 loads)"
(cd "$work" && dbus-run-session -- bash -c '
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$1" 5 "$2" --before-each' \
    "$build/bench/bench_window" "$port" "$reader --cells") 2>/dev/null | tee "$work/inspector.txt"

echo "== parsers"
"$build/bench/bench_parsers" --benchmark_min_time=1 2>/dev/null | grep -E '^(quote|rt|reference|memchr)' | tee "$work/parsers.txt"

python3 - "$work" "$curl_best" <<'PY'
import re, sys
work, curl = sys.argv[1], float(sys.argv[2])
def loads(name):
    return [(float(m[1]), float(m[2]), int(m[3])) for m in
            re.finditer(r"load \d+: ([\d.]+) s, rows \d+, longest stall ([\d.]+) ms, peak RSS (\d+) kB", open(f"{work}/{name}").read())]
print("\n== summary (floor: one curl process, 100 pages on fresh connections: %.3f s)" % curl)
for name, label in (("plain.txt", "without bus"), ("bus.txt", "with bus"), ("reader.txt", "with a reader"),
                    ("reader--listen.txt", "with a listener"), ("inspector.txt", "with an inspector")):
    runs = loads(name)
    if not runs:
        print(f"{label}: no loads measured"); continue
    first, later = runs[0][0], max(r[0] for r in runs[1:]) if len(runs) > 1 else float("nan")
    median = sorted(r[0] for r in runs)[len(runs) // 2]
    print(f"load {label}: first {first:.3f} s ({first/curl:.1f}x curl), slowest later {later:.3f} s ({later/curl:.1f}x curl), "
          f"median of {len(runs)} {median:.3f} s ({median/curl:.1f}x curl), longest stall {max(r[1] for r in runs):.1f} ms")
plain = loads("plain.txt")
if len(plain) > 1:
    print(f"peak RSS: after load 1 {plain[0][2]/1024:.1f} MB, after load {len(plain)} {plain[-1][2]/1024:.1f} MB "
          f"(+{(plain[-1][2]-plain[0][2])/1024:.1f} MB)")
for line in open(f"{work}/plain.txt"):
    if line.startswith("sort"):
        print(line.strip())
PY
