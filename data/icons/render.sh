#!/usr/bin/env bash
# Renders the 48-pixel PNG icon from the scalable one (rsvg-convert, package librsvg2-bin).
# Run after changing the SVG and commit both.
set -euo pipefail
cd "$(dirname "$0")"
id=io.github.tickwell.Tickwell
../../scripts/install-deps.sh librsvg2-bin
rsvg-convert --width 48 --height 48 --output "$id.png" "$id.svg"
