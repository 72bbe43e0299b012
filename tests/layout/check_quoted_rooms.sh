#!/bin/sh
# The quote server's rooms include only downward: the root -> pages/ -> sources/ -> market/,
# and pages/ -> http/. Prints every include that runs otherwise; fails when there is one.
# Usage: check_quoted_rooms.sh QUOTED-DIR
set -u
cd "$1" || exit 2
found=0
# forbid ROOM OTHER...: no file of ROOM includes a file of an OTHER room, nor one of the root.
forbid() {
    room=$1
    shift
    for other in "$@"; do
        grep -Hn "#include \"$other/" "$room"/* && found=1
    done
    grep -Hn '#include "[a-z_]*\.h"' "$room"/* && found=1
}
forbid http pages sources market
forbid pages
forbid sources pages http
forbid market pages sources http
exit $found
