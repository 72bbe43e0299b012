#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate without a word, and names the icon that is
# installed under the same id, in both sizes.
# Usage: check_desktop_entry.sh DATA_DIR APP_ID
set -euo pipefail
data=$1 id=$2
entry=$data/$id.desktop
command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate missing: install desktop-file-utils"; exit 1; }

failed=0
report=$(desktop-file-validate "$entry" 2>&1) || failed=1
if [ -n "$report" ]; then
    echo "desktop-file-validate $entry:"
    echo "$report"
    failed=1
fi
icon=$(sed -n 's/^Icon=//p' "$entry")
if [ "$icon" != "$id" ]; then
    echo "Icon=$icon: the icon is installed as $id"
    failed=1
fi
for file in "$data/icons/$id.svg" "$data/icons/$id.png"; do
    [ -f "$file" ] || { echo "missing icon $file"; failed=1; }
done
# hicolor/48x48 holds a 48 x 48 picture: the PNG header's width and height.
if [ "$(od -An -tx1 -j16 -N8 "$data/icons/$id.png" | tr -d ' \n')" != 0000003000000030 ]; then
    echo "$data/icons/$id.png is not 48 x 48 (render it with data/icons/render.sh)"
    failed=1
fi
[ $failed -eq 0 ] && echo "desktop entry $id.desktop: valid, icon $icon"
exit $failed
