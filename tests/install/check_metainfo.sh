#!/usr/bin/env bash
# The AppStream metainfo passes appstreamcli validate (errors, warnings and infos all fail it;
# only pedantic notes pass), its newest release is the project's version, and every
# screenshot it shows is one of docs/screenshots/.
# Usage: check_metainfo.sh DATA_DIR APP_ID VERSION SOURCE_DIR
set -euo pipefail
data=$1 id=$2 version=$3 source=$4
metainfo=$data/$id.metainfo.xml
command -v appstreamcli >/dev/null || { echo "appstreamcli missing: install appstream"; exit 1; }

failed=0
report=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) || failed=1
echo "$report"
if grep -qE '^[EWI]: ' <<<"$report"; then failed=1; fi

newest=$(grep -m1 -o '<release version="[^"]*"' "$metainfo" | sed 's/.*"\(.*\)"/\1/')
if [ "$newest" != "$version" ]; then
    echo "newest release is \"$newest\", the project's version is $version"
    failed=1
fi
launchable=$(sed -n 's/.*<launchable type="desktop-id">\(.*\)<\/launchable>.*/\1/p' "$metainfo")
[ "$launchable" = "$id.desktop" ] || { echo "launchable $launchable is not $id.desktop"; failed=1; }

shots=$(sed -n 's|.*<image>.*/docs/screenshots/\([^<]*\)</image>.*|\1|p' "$metainfo")
[ -n "$shots" ] || { echo "no screenshot from docs/screenshots/"; failed=1; }
for shot in $shots; do
    [ -f "$source/docs/screenshots/$shot" ] || { echo "screenshot $shot is not in docs/screenshots/"; failed=1; }
done
exit $failed
