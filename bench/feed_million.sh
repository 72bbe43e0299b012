#!/usr/bin/env bash
# tickwell-quoted with a feed of a million rows, against its figures:
#   - it listens within 1.5 s of its start, with at most 200 MB resident (VmRSS and VmHWM);
#   - while it reads the file again after an edit, no page waits more than 50 ms.
# Prints the figures; exits non-zero when one is over. Loopback only; the feed lives in /tmp.
# Usage: bench/feed_million.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
cmake --build "$build" --target tickwell-quoted >/dev/null
exec python3 - "$build/quoted/tickwell-quoted" <<'PY'
import os, socket, statistics, subprocess, sys, tempfile, time

binary = sys.argv[1]
ROWS, START_S, RSS_MB, PAGE_MS = 1_000_000, 1.5, 200, 50
work = tempfile.mkdtemp(prefix="tickwell-feed-", dir="/tmp")
feed = os.path.join(work, "quotes.csv")
symbols = [f"{chr(65 + n // 260000 % 26)}{chr(65 + n // 10000 % 26)}{n % 10000:04d}" for n in range(ROWS)]

def write_feed(shift, target):
    with open(target, "w") as out:
        out.write("symbol,name,last,change,volume,time,bid,ask\n")
        for n, s in enumerate(symbols):
            cents = 1000 + (n * 7 + shift) % 90000
            out.write(f"{s},Company {n},{cents // 100}.{cents % 100:02d},0.{n % 90 + 10},{n * 13 % 9999999},16:00,,\n")

def status(pid):
    fields = dict(line.split(":", 1) for line in open(f"/proc/{pid}/status"))
    return {k: int(fields[k].split()[0]) // 1024 for k in ("VmRSS", "VmHWM")}

def page(port, path):
    started = time.perf_counter()
    with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
        s.sendall(f"GET {path} HTTP/1.1\nHost: localhost\n\n".encode())
        data = b""
        while chunk := s.recv(65536):
            data += chunk
    return (time.perf_counter() - started) * 1000, data

write_feed(0, feed)
write_feed(1, feed + ".new")  # the edit, renamed over the feed as a careful writer does
print(f"feed: {ROWS:,} rows, {os.path.getsize(feed) / 1e6:.1f} MB in {feed}")
started = time.perf_counter()
server = subprocess.Popen([binary, "--port", "0", "--exit-after", "120", "--quotes", feed],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
failed = []
try:
    line = server.stdout.readline()
    listen_s = time.perf_counter() - started
    if "listening on" not in line:
        sys.exit("tickwell-quoted did not start")
    port = int(line.rsplit(":", 1)[1])
    at_listen = status(server.pid)
    time.sleep(1.0)  # the charts take their first prices just after
    settled = status(server.pid)
    print(f"listening after {listen_s:.2f} s (at most {START_S} s)")
    print(f"resident at listening: VmRSS {at_listen['VmRSS']} MB, VmHWM {at_listen['VmHWM']} MB; "
          f"a second later: VmRSS {settled['VmRSS']} MB, VmHWM {settled['VmHWM']} MB (at most {RSS_MB} MB)")
    if listen_s > START_S:
        failed.append("start time")
    if max(settled.values()) > RSS_MB:
        failed.append("memory at start")

    paths = [f"/q/cq?s={','.join(symbols[i:i + 20])}&d=v1" for i in range(0, 20 * 50, 20)] + ["/q/bc?s=AA0007"]
    quiet = [page(port, p)[0] for p in paths]
    old_price = page(port, "/q/cq?s=AA0001&d=v1")[1]
    os.replace(feed + ".new", feed)
    during, edited = [], time.perf_counter()
    while time.perf_counter() < edited + 30:  # pages while the file is read again
        during.append(page(port, paths[len(during) % len(paths)])[0])
        if page(port, "/q/cq?s=AA0001&d=v1")[1] != old_price:
            break
    else:
        failed.append("the edit never showed")
    reread = time.perf_counter() - edited
    for _ in range(1000):  # and on while the charts take the new prices
        during.append(page(port, paths[len(during) % len(paths)])[0])
    after = status(server.pid)
    print(f"pages while quiet: median {statistics.median(quiet):.2f} ms, slowest {max(quiet):.2f} ms")
    print(f"{len(during)} pages while the edit was read ({reread:.1f} s): median "
          f"{statistics.median(during):.2f} ms, slowest {max(during):.2f} ms (at most {PAGE_MS} ms)")
    print(f"resident after the re-read: VmRSS {after['VmRSS']} MB, VmHWM {after['VmHWM']} MB")
    if max(during) > PAGE_MS:
        failed.append("page delay during a re-read")
finally:
    server.terminate()
    server.wait()
    for name in os.listdir(work):
        os.remove(os.path.join(work, name))
    os.rmdir(work)
print("over its figure: " + ", ".join(failed) if failed else "every figure within bounds")
sys.exit(1 if failed else 0)
PY
