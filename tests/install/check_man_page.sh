#!/usr/bin/env bash
# A man page renders without a warning from man or groff, carries the project's version in its
# title line, and, given the program, names every option that the program's --help lists.
# Usage: check_man_page.sh PAGE VERSION [PROGRAM]
set -euo pipefail
page=$1 version=$2 program=${3:-}
command -v man >/dev/null || { echo "man missing: install man-db"; exit 1; }

failed=0
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) ||
    failed=1
if [ -n "$warnings" ]; then
    echo "$page renders with warnings:"
    echo "$warnings"
    failed=1
fi
if ! grep -q "^\.TH .*\"Tickwell $version\"" "$page"; then
    echo "$page: the .TH line does not name Tickwell $version"
    failed=1
fi

if [ -n "$program" ]; then
    # The page as plain text, hyphens as hyphens.
    text=$(groff -man -Tascii -P-cbou "$page" 2>/dev/null)
    # --help-all is Qt's own, in every Qt program.
    options=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$program" --help |
        grep -oE '^  (-[a-zA-Z?], )?--[a-z][a-z-]*' | grep -oE -- '--[a-z-]+' | grep -vx -- '--help-all')
    [ -n "$options" ] || { echo "$program --help lists no option"; failed=1; }
    for option in $options; do
        # An option is described where it starts a line (a tagged paragraph).
        grep -qE -- "^ +(-[a-zA-Z], )?$option( |$)" <<<"$text" || { echo "$page does not describe $option"; failed=1; }
    done
fi
[ $failed -eq 0 ] && echo "$page: renders cleanly${program:+, describes every option of $(basename "$program")}"
exit $failed
