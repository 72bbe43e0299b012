#!/usr/bin/env bash
# A trading day of automatic refreshes in minutes: resident memory, open descriptors and threads
# of the window after every load.
#
# A 2000-symbol portfolio, tickwell-quoted on a free loopback port and Tickwell on a virtual X
# display; both refreshes are armed with the mouse and keys as a user arms them (xdotool), the
# Quotes refresh at "2 minutes" and the RealTime refresh at "30 seconds". The program's test aid
# TICKWELL_REFRESH_SPEEDUP shortens both intervals so that the day's 195 Quotes and 780 RealTime
# ticks come in the minutes given (6.5 hours / minutes).
#
# A load's end is seen from outside the window: each load that ends normally puts a new data file
# in place of the old one (input_data_qt1.txt, input_data_qt2.txt), so a sampler that polls the
# two names' inode and mtime every 20 ms reads /proc/PID/status (VmRSS, Threads) and /proc/PID/fd
# right after. Nothing is asked of the window itself, so the figures are the window's alone.
#
# Usage: bench/soak.sh [--minutes N] [--bus none|reader|listener] [--table FILE] [build-dir]
#   --minutes N   length of the compressed day (default 10; at least 3, so that the Quotes
#                 refresh, armed first, does not tick while the RealTime one is being armed)
#   --bus         none: no session bus at all; reader: a session bus with the accessibility bus
#                 and a client that reads the window once before the refreshes are armed (as a
#                 screen reader meeting the window); listener: the same client, which then listens
#                 to the window's events for the whole run
#   --table FILE  every load's sample, tab-separated, into FILE
#   --under CMD   the window started under CMD, e.g. "heaptrack -o /tmp/tickwell" or "valgrind
#                 --tool=massif": the figures are then those of CMD's process
# It builds nothing (scripts/build.sh tickwell tickwell-quoted does); it installs xdotool when
# missing (scripts/install-deps.sh). It exits non-zero when the
# refreshes could not be armed; the figures themselves are for reading.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

minutes=10 bus=none table= under= build=
while [ $# -gt 0 ]; do
    case $1 in
    --minutes) minutes=$2; shift 2 ;;
    --bus) bus=$2; shift 2 ;;
    --table) table=$2; shift 2 ;;
    --under) under=$2; shift 2 ;;
    -h | --help) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "soak: unknown option $1" >&2; exit 2 ;;
    *) build=$1; shift ;;
    esac
done
python3 -c "import sys; sys.exit(float('$minutes') < 3)" || { echo "soak: --minutes is at least 3" >&2; exit 2; }
case $bus in none | reader | listener) ;; *) echo "soak: --bus is none, reader or listener" >&2; exit 2 ;; esac
build=$(realpath "${build:-build}")
for program in "$build/src/tickwell" "$build/quoted/tickwell-quoted"; do
    [ -x "$program" ] || { echo "soak: no $program (scripts/build.sh tickwell tickwell-quoted)" >&2; exit 2; }
done
scripts/install-deps.sh xdotool >/dev/null
speedup=$(python3 -c "print(390 / float('$minutes'))")
seconds=$(python3 -c "print(round(float('$minutes') * 60))")

work=$(mktemp -d)
server= session=
stop() {
    trap - EXIT INT TERM
    # Everything the window's session started is in one process group: the session bus, the
    # accessibility bus, the reader, Xvfb and Tickwell.
    [ -n "$session" ] && kill -TERM -- "-$session" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM

"$build/quoted/tickwell-quoted" --port 0 --exit-after $((seconds + 300)) >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do grep -qs "listening on" "$work/server.log" && break; sleep 0.1; done
port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.log")
[ -n "$port" ] || { echo "soak: tickwell-quoted did not start" >&2; exit 1; }

# 2000 distinct symbols (AA0, AA1, AA2, AB0, ...), as bench/run.sh loads them.
mkdir -p "$work/run" "$work/runtime" "$work/config"
chmod 700 "$work/runtime"
python3 - "$work/run/input.txt" <<'PY'
import itertools, string, sys
symbols = [a + b + str(n) for a, b in itertools.product(string.ascii_uppercase, repeat=2) for n in range(3)][:2000]
open(sys.argv[1], "w").write("".join(s + "\n" for s in symbols))
PY

# The window's session: started as a process group of its own, so that stop() ends all of it.
# It writes the window's pid into $work/pid and "armed" into $work/armed once both refreshes run.
cat >"$work/session.sh" <<'SESSION'
set -u
work=$1 tickwell=$2 reader=$3 bus=$4 under=$5
cd "$work/run"
if [ "$bus" != none ]; then
    # The accessibility bus started before the window asks for it, as a desktop session has it.
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
else
    unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
    export NO_AT_BRIDGE=1
fi
$under "$tickwell" >"$work/tickwell.log" 2>&1 &
window_pid=$!
echo $window_pid >"$work/pid"
fail() { echo "$*" >"$work/failed"; kill $window_pid; exit 1; }
window=
for _ in $(seq 150); do
    window=$(xdotool search --onlyvisible --name '^Tickwell$' 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || fail "no Tickwell window within 30 s: $(cat "$work/tickwell.log")"
sleep 1
if [ "$bus" = reader ]; then
    /usr/bin/python3 "$reader" $window_pid >"$work/reader.log" 2>&1 || fail "the reader failed: $(cat "$work/reader.log")"
elif [ "$bus" = listener ]; then
    /usr/bin/python3 "$reader" --listen $window_pid >"$work/reader.log" 2>&1 &
    for _ in $(seq 300); do grep -q "^read" "$work/reader.log" && break; sleep 0.2; done
    grep -q "^read" "$work/reader.log" || fail "the listener did not read the window: $(cat "$work/reader.log")"
fi
# Where a tab's page starts in the window in the Fusion style (scripts/screenshots.sh); the
# controls' places on their pages are the window's designed ones. The tabs are clicked, and keys
# go to the control a click has given the keyboard to.
page_x=2 page_y=42
click() { # left top on the page
    xdotool mousemove --window "$window" $((page_x + $1)) $((page_y + $2)) click 1
    sleep 0.3
}
tab() { # the tab's caption on the tab bar
    xdotool mousemove --window "$window" "$1" 30 click 1
    sleep 0.3
}
# RealTime: "30 seconds" chosen while its box is clear is kept for when it is checked.
tab 95
click 90 458 # ComboBox1's text
xdotool key Down
# Quotes: the box first, then "2 minutes"; its first tick is a Quotes interval away.
tab 30
click 456 357 # CheckBox
click 490 382 # ComboBox's text
xdotool key Down
tab 95
click 40 429 # CheckBox3
echo armed >"$work/armed"
wait $window_pid
SESSION

reader=$root/bench/read_window.py
session_cmd=(xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$work/session.sh" "$work" "$build/src/tickwell"
    "$reader" "$bus" "$under")
[ "$bus" != none ] && session_cmd=(dbus-run-session -- "${session_cmd[@]}")
LANG=C.UTF-8 LC_ALL=C.UTF-8 TICKWELL_QUOTE_SERVER="127.0.0.1:$port" TICKWELL_REFRESH_SPEEDUP=$speedup \
    QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= QT_STYLE_OVERRIDE=Fusion XDG_RUNTIME_DIR="$work/runtime" \
    XDG_CONFIG_HOME="$work/config" setsid "${session_cmd[@]}" >"$work/session.log" 2>&1 &
session=$!

for _ in $(seq 600); do [ -e "$work/armed" ] || [ -e "$work/failed" ] && break; sleep 0.1; done
[ -e "$work/armed" ] || { echo "soak: $(cat "$work/failed" 2>/dev/null || echo "the window did not start")" >&2; exit 1; }
echo "soak: bus $bus, $minutes minutes (intervals / $speedup), window pid $(cat "$work/pid"), server port $port"

python3 - "$work" "$seconds" "$table" "$speedup" <<'PY'
import os, sys, time
work, seconds, table, speedup = sys.argv[1], int(sys.argv[2]), sys.argv[3], float(sys.argv[4])
quotes_s = 120 / speedup
pid = int(open(f"{work}/pid").read())
files = {"Quotes": f"{work}/run/input_data_qt1.txt", "RealTime": f"{work}/run/input_data_qt2.txt"}

def identity(path):
    try:
        st = os.stat(path)
        return st.st_ino, st.st_mtime_ns
    except FileNotFoundError:
        return None

def sample():
    fields = {}
    for line in open(f"/proc/{pid}/status"):
        key, _, value = line.partition(":")
        fields[key] = value.split()
    return int(fields["VmRSS"][0]), len(os.listdir(f"/proc/{pid}/fd")), int(fields["Threads"][0])

seen = {tab: identity(path) for tab, path in files.items()}
rows, loads = [], {tab: 0 for tab in files}
start = time.monotonic()
# The last ticks' loads are given a few seconds to end.
deadline = start + seconds + 3
try:
    while time.monotonic() < deadline:
        time.sleep(0.02)
        for tab, path in files.items():
            now = identity(path)
            if now is not None and now != seen[tab]:
                seen[tab] = now
                loads[tab] += 1
                rss, fds, threads = sample()
                rows.append((len(rows) + 1, tab, time.monotonic() - start, rss, fds, threads))
        # Both tabs load within a few of their intervals once armed; a click that missed its
        # control leaves one tab without loads, and the run would measure half a day.
        if time.monotonic() - start > 5 + 3 * quotes_s and not all(loads.values()):
            sys.exit("soak: no load ended on " + " and ".join(t for t, n in loads.items() if not n) +
                     ": its refresh was not armed, or its loads fail (" + open(f"{work}/tickwell.log").read() + ")")
except (FileNotFoundError, ProcessLookupError):
    sys.exit("soak: the window ended: " + open(f"{work}/tickwell.log").read())
if table:
    with open(table, "w") as out:
        out.write("load\ttab\tseconds\trss_kb\tfds\tthreads\n")
        out.writelines("\t".join(str(round(v, 2)) if isinstance(v, float) else str(v) for v in row) + "\n" for row in rows)
print(f"{'load':>5} {'tab':<9} {'s':>7} {'RSS MB':>8} {'fds':>4} {'threads':>7}")
for row in rows:
    n = row[0]
    if n in (1, 10) or n % 25 == 0 or n == len(rows):
        print(f"{n:>5} {row[1]:<9} {row[2]:>7.1f} {row[3] / 1024:>8.1f} {row[4]:>4} {row[5]:>7}")
print(f"loads: {loads['Quotes']} Quotes, {loads['RealTime']} RealTime (a full day: 195 and 780)")
if len(rows) < 11:
    sys.exit("soak: fewer than 11 loads ended")
first, last = rows[9], rows[-1]
# A sample may fall while the other tab's load runs, with its socket and thread: descriptors and
# threads are compared at rest, the fewest of the ten samples from load 10 and of the last ten.
rest = lambda part, i: min(r[i] for r in part)
fds, threads = rest(rows[-10:], 4) - rest(rows[9:19], 4), rest(rows[-10:], 5) - rest(rows[9:19], 5)
print(f"growth load 10 -> {last[0]}: RSS {(last[3] - first[3]) / 1024:+.1f} MB "
      f"({first[3] / 1024:.1f} -> {last[3] / 1024:.1f}), fds {fds:+d}, threads {threads:+d} (at rest)")
later = [r[3] for r in rows[9:]]
print(f"RSS from load 10 on: lowest {min(later) / 1024:.1f} MB, highest {max(later) / 1024:.1f} MB")
PY
