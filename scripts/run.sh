#!/usr/bin/env bash
# Installs what is missing, builds, starts tickwell-quoted on loopback and opens Tickwell in
# run/ with a sample portfolio input.txt. Closing the window stops the quote server too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

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
[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && launcher=(xvfb-run -a -s "-screen 0 1024x768x24")
TICKWELL_QUOTE_SERVER="127.0.0.1:$port" "${launcher[@]}" ../build/src/tickwell
