#!/usr/bin/env bash
# Takes the pictures in docs/screenshots/: starts tickwell-quoted and Tickwell on a virtual X
# display (Xvfb) with the sample portfolio, clicks "Get Quotes" on the Quotes and RealTime tabs
# (xdotool), waits for each load to write its data file, and captures the window on each tab
# (ImageMagick's import), the editor showing the sample portfolio on the Portfolios tab.
# The window is drawn in Qt's Fusion style, whatever the desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh xdotool imagemagick
scripts/build.sh tickwell tickwell-quoted

root=$(pwd)
shots=$root/docs/screenshots
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "screenshots: $*" >&2
    exit 1
}

# A display number of its own; Xvfb writes it once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -1 "$work/display")
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "display $DISPLAY does not answer: $(cat "$work/xvfb.log")"

"$root/build/quoted/tickwell-quoted" --port 0 --exit-after 300 >"$work/server.log" &
pids+=($!)
for _ in $(seq 50); do grep -q "listening on" "$work/server.log" && break; sleep 0.1; done
port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.log")
[ -n "$port" ] || fail "tickwell-quoted did not start"

mkdir -p "$work/run" "$work/runtime"
chmod 700 "$work/runtime"
cp samples/input.txt "$work/run/input.txt"
(cd "$work/run" && exec env LANG=C.UTF-8 LC_ALL=C.UTF-8 TICKWELL_QUOTE_SERVER="127.0.0.1:$port" QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= \
    QT_STYLE_OVERRIDE=Fusion XDG_RUNTIME_DIR="$work/runtime" timeout 300 "$root/build/src/tickwell") \
    >"$work/tickwell.log" 2>&1 &
pids+=($!)
# Windows come and go while they are listed: a search may fail, and is asked again.
visible_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
window=
for _ in $(seq 150); do
    window=$(visible_windows '^Tickwell$' | head -1)
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || fail "no Tickwell window on $DISPLAY within 30 s: $(cat "$work/tickwell.log")"
sleep 1

# Where a tab's page starts in the window, in the Fusion style; the buttons' places on their
# pages are fixed by the window's layout (BtnQuote, BtnQuote1, Button5). A click goes to a
# button's middle.
page_x=2 page_y=42
click_button() { # left top width height on the page
    xdotool mousemove --window "$window" $((page_x + $1 + $3 / 2)) $((page_y + $2 + $4 / 2)) click 1
}
wait_for_file() {
    for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.2; done
    fail "no $(basename "$1") within 20 s: the click missed \"Get Quotes\" or the load failed"
}
capture() {
    sleep 1
    import -window "$window" -strip -define png:exclude-chunks=date,time "$work/$1"
}
next_tab() {
    xdotool key --window "$window" ctrl+Tab
}

click_button 260 361 86 25
wait_for_file "$work/run/input_data_qt1.txt"
capture quotes.png
next_tab
click_button 267 408 88 25
wait_for_file "$work/run/input_data_qt2.txt"
capture realtime.png
next_tab
# The editor with the sample portfolio: "Edit Portfolio", then its name in the open dialog.
click_button 328 48 113 22
opened=
for _ in $(seq 50); do
    [ -n "$(visible_windows '^Open$')" ] && opened=1 && break
    sleep 0.2
done
[ -n "$opened" ] || fail "no open dialog within 10 s of \"Edit Portfolio\""
# The dialog has the keyboard: typed into the file name, the name opens on Return.
sleep 1
xdotool type --delay 20 input.txt
xdotool key Return
for _ in $(seq 50); do
    [ -z "$(visible_windows '^Open$')" ] && opened= && break
    sleep 0.2
done
[ -z "$opened" ] || fail "the open dialog did not take input.txt"
capture portfolios.png

mkdir -p "$shots"
cp "$work"/quotes.png "$work"/realtime.png "$work"/portfolios.png "$shots/"
echo "screenshots: docs/screenshots/quotes.png realtime.png portfolios.png"
