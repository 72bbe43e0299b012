#!/usr/bin/env bash
# Installs what is missing, builds the two programs, starts tickwell-quoted on loopback and
# opens Tickwell in run/ with a sample portfolio input.txt. Closing the window stops the quote
# server too. Without a display the window opens on a virtual one (Xvfb): stop with Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Only the programs: the tests, benchmarks and probes are built by the test command.
scripts/build.sh tickwell tickwell-quoted

mkdir -p run
[ -f run/input.txt ] || cp samples/input.txt run/input.txt

log=$(mktemp)
build/quoted/tickwell-quoted --port 0 >"$log" &
server=$!
trap 'kill $server 2>/dev/null || true; rm -f "$log"' EXIT
for _ in $(seq 50); do
    grep -q "listening on" "$log" && break
    sleep 0.1
done
port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log")
[ -n "$port" ] || { echo "tickwell-quoted did not start" >&2; cat "$log" >&2; exit 1; }
echo "tickwell-quoted serves quotes on 127.0.0.1:$port"

cd run
launcher=()
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    launcher=(xvfb-run -a -s "-screen 0 1024x768x24")
    cat <<'NOTE'
No display here (DISPLAY and WAYLAND_DISPLAY are unset), so Tickwell runs on a virtual X
display (Xvfb): its window is open, but nobody can see it. It runs until you press Ctrl+C,
which stops tickwell-quoted too. Run this command in a desktop session to see the window;
scripts/screenshots.sh takes pictures of it without one.
NOTE
else
    echo "Opening Tickwell in run/; closing its window stops tickwell-quoted too."
fi
"${launcher[@]}" ../build/src/tickwell --server "127.0.0.1:$port"
